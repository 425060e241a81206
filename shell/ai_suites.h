#pragma once
// The host's "AI" suites: the operations of the drawing application that the
// tool calls. Each returns a host code, 0 for success, unless it says it
// returns a value.
#include "shell/host_types.h"

// Plug-in option flag: the plug-in's globals survive an unload.
constexpr std::int32_t kPluginWantsGlobalsOption = 2;

// "AI Plugin Suite" version 3.
struct PluginSuite {
    // The plug-in's option flags.
    HostError (*GetPluginOptions)(PluginRef plugin, std::int32_t* options);
    HostError (*SetPluginOptions)(PluginRef plugin, std::int32_t options);
};

// "AI MdMemory Suite" version 1: acquired with the others; the tool calls
// none of its operations.
struct MdMemorySuite {
    void* reserved;
};

// "AI Real Math Suite" version 1. Angles are in radians, counter-clockwise.
struct RealMathSuite {
    float (*Cos)(float angle);
    float (*Sin)(float angle);
    // degrees × π / 180.
    float (*DegreeToRadian)(float degrees);
    // The angle of the vector from a to b, in [0, 2π).
    float (*PointAngle)(const HostPoint* a, const HostPoint* b);
    // t × a + (1 - t) × b: t = 1 gives a, t = 0 gives b.
    float (*Interpolate)(float a, float b, float t);
    // The same for points, into *result.
    void (*InterpolatePoint)(const HostPoint* a, const HostPoint* b, float t, HostPoint* result);
    // Append an operation to a matrix: it applies after everything the matrix
    // already does. Scale and rotation are about the origin.
    void (*MatrixConcatTranslate)(HostMatrix* matrix, float tx, float ty);
    void (*MatrixConcatScale)(HostMatrix* matrix, float sx, float sy);
    void (*MatrixConcatRotate)(HostMatrix* matrix, float angle);
};

// "AI Art Suite" version 9.
constexpr std::int16_t kSymbolInstanceArtType = 13;

struct ArtSuite {
    // Delete an art object from its document.
    HostError (*DisposeArt)(ArtHandle art);
    // The art's type; 13 is a symbol instance.
    HostError (*GetArtType)(ArtHandle art, std::int16_t* type);
    // The art's bounds in artwork coordinates.
    HostError (*GetArtBounds)(ArtHandle art, HostRect* bounds);
};

// "AI User Suite" version 5: numbers as text. Texts are length-prefixed: a
// length byte, then up to 255 characters.
struct UserSuite {
    // Write value with this many decimal places into text (256 bytes).
    HostError (*RealToText)(float value, std::int16_t decimalPlaces, unsigned char* text);
    // Read a number from a length-prefixed text.
    HostError (*TextToReal)(const unsigned char* text, float* value);
};

// "AI Undo Suite" version 4.
struct UndoSuite {
    // Close the tool's changes into one undoable step, at the end of a stroke.
    HostError (*SetUndoPoint)();
};

// "AI Random Suite" version 3.
struct RandomSuite {
    // A uniform random number u, 0 ≤ u < 1.
    float (*FloatRandom)();
};

// Paint order for new art: above all existing art.
constexpr std::int16_t kPlaceAboveAll = 5;

// "AI Symbol Suite" version 1.
struct SymbolSuite {
    // How many symbols the document holds.
    HostError (*CountSymbols)(std::int32_t* count, DocumentHandle document);
    // The document's symbol at 0-based index n (palette order).
    HostError (*GetNthSymbol)(std::int32_t n, SymbolHandle* symbol, DocumentHandle document);
    // Non-zero when the symbol can be used.
    std::int32_t (*ValidateSymbol)(SymbolHandle symbol);
    // A new instance of the symbol whose bounds are centred on centre, placed
    // by paint order relative to prep (none: the whole artwork).
    HostError (*NewInstanceCenteredOnPoint)(SymbolHandle symbol, HostPoint centre, std::int16_t paintOrder,
                                            ArtHandle prep, ArtHandle* art);
    HostError (*GetInstanceMatrix)(ArtHandle instance, HostMatrix* matrix);
    HostError (*SetInstanceMatrix)(ArtHandle instance, const HostMatrix* matrix);
    // Add the instance's artwork to the document as plain art.
    HostError (*ExpandInstance)(ArtHandle instance, std::int16_t paintOrder, ArtHandle prep, ArtHandle* expanded);
};

// "AI Symbol Palette Suite" version 1.
struct SymbolPaletteSuite {
    // The symbol selected in the palette, or nullptr when none is.
    HostError (*GetCurrentSymbol)(SymbolHandle* symbol);
};

// The first two reals of the document setup are the page size.
struct DocumentSetup {
    float width;
    float height;
};

// "AI Document Suite" version 7.
struct DocumentSuite {
    HostError (*GetDocument)(DocumentHandle* document);
    HostError (*GetDocumentSetup)(DocumentSetup* setup);
};

// "AI Document View Suite" version 7.
struct DocumentViewSuite {
    // The document's view number n (0: the first).
    HostError (*GetNthDocumentView)(std::int32_t n, ViewHandle* view);
    HostError (*GetDocumentViewCenter)(ViewHandle view, HostPoint* centre);
};

// What a hit test found; the tool reads the first three fields.
struct HitData {
    std::int32_t hit;     // non-zero: something was hit
    std::int16_t type;    // the part hit: 0 anchor point ... 6 intersection of two guides
    ArtHandle object;     // the art object hit
};

// "AI Hit Test Suite" version 1.
struct HitTestSuite {
    // Hit-test at point with the request code (0 to 11); art nullptr tests the
    // whole document. *hit is valid until the message ends.
    HostError (*HitTest)(ArtHandle art, const HostPoint* point, std::int32_t request, HitRef* hit);
    HostError (*GetHitData)(HitRef hit, HitData* data);
};

// "AI Layer Suite" version 9.
struct LayerSuite {
    // Insert a new layer relative to layer (none: the whole stack) in paint order.
    HostError (*InsertLayer)(LayerHandle layer, std::int16_t paintOrder, LayerHandle* inserted);
};

// "Share no group / tool set": the tool gets a group and a tool set of its own.
constexpr std::int32_t kNoTool = -2;

// The host's add-tool record.
struct AddToolData {
    const char* title;
    const char* tooltip;
    std::int32_t helpId;        // not set: 0
    IconRef icon;
    std::int32_t sameGroupAs;   // kNoTool
    std::int32_t sameToolsetAs; // kNoTool
};

// "AI Tool Suite" version 9.
struct ToolSuite {
    // Add a tool to the toolbox; *tool receives its reference.
    HostError (*AddTool)(PluginRef plugin, const char* name, const AddToolData* data, std::int32_t options,
                         ToolHandle* tool);
    // *hasPressure non-zero when the system has a pressure-sensitive pen.
    HostError (*SystemHasPressure)(std::int32_t* hasPressure);
};
