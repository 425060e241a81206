#pragma once
// The settings block: every option of the tool, the options dialog's
// remembered page and place, the host's reference to the registered tool and
// the stroke engine's running state, in one plain record that the host keeps
// from startup to shutdown.
//
// Flags are 32-bit integers holding 0 or 1; indexes hold a position in the
// matching popup list; reals are 32-bit floats. Percentages are stored as
// shown (100 means 100 %), angles in degrees and lengths in points; the
// stroke state holds the fractions and radians derived from them at the
// start of each stroke.
#include <cstdint>
#include <type_traits>

#include "shell/host_types.h"

struct Globals {
    ToolHandle toolHandle;
    HostPoint directionOrigin;          // stroke: where the direction of travel is measured from
    float initialSize;
    float initialAngle;
    float orderedShrinkScale;           // stroke: running factor of palette-order shrinking
    float twistAngle;
    float twistStepRadians;             // stroke: twistAngle in radians
    float twistTotal;                   // stroke: twist accumulated so far, radians
    float shrinkFactorOrdered;
    float orderedShrinkStep;            // stroke: shrinkFactorOrdered × 0.01
    float alternateAngle;
    float dabShrinkPerDab;
    float dabShrinkStep;                // stroke: dabShrinkPerDab × 0.01
    float alternateAngleRadians;        // stroke
    float dabShrinkScale;               // stroke: running factor of per-dab shrinking
    float dabResizeHMin;
    float dabResizeHMax;
    float dabResizeVMin;
    float dabResizeVMax;
    float dabAngleMin;
    float dabAngleMax;
    float dabJitterHMin;
    float dabJitterHMax;
    float dabJitterVMin;
    float dabJitterVMax;
    std::int32_t randomCreate;
    std::int32_t expandSymbolDelete;
    std::int32_t dabRandomSymbols;
    std::int32_t dabPaletteOrder;
    std::int32_t dabLinkResize;
    std::int32_t overlapPaint;
    std::int32_t paintAnywhere;
    std::int32_t dabAlignToDirection;
    std::int32_t mirrorMode;
    std::int32_t brushShape;
    std::int32_t dabsApplyRate;
    std::int32_t applyRateCount;        // stroke: drag events skipped since the last processed one
    std::int32_t layerStepCount;        // stroke: steps counted toward dabsPerLayer
    std::int32_t dabsPerLayer;
    std::int32_t paintOnTarget;
    std::int32_t hitTestMode;
    std::int32_t dabCount;              // stroke: completed steps, from 1
    float dabScaleHLow;                 // stroke: the ordered random ranges, fractions,
    float dabScaleHHigh;                //   radians and points, low ≤ high
    float dabScaleVLow;
    float dabScaleVHigh;
    float dabAngleLowRadians;
    float dabAngleHighRadians;
    float dabJitterHLow;
    float dabJitterHHigh;
    float dabJitterVLow;
    float dabJitterVHigh;
    std::int32_t dialogPage;
    std::int32_t stepCount;             // stroke: drag events that got past every gate
    std::int16_t hitTargetType;         // stroke: the hit part type painting requires
    std::int32_t hitRequest;            // stroke: the request code of the hit test
    std::int32_t dialogBoundsLeft;
    std::int32_t dialogBoundsTop;
    std::int32_t dialogBoundsRight;
    std::int32_t dialogBoundsBottom;
    std::int32_t dialogBoundsValid;
    float strokeRandom;                 // stroke: one draw for the whole stroke
    std::int32_t bristlesPerDab;
    float brushResizeScale;             // stroke: running factor of the brush
    float brushResize;
    float brushWidth;
    float brushHeight;
    float edgeResize;
    float coreResize;
    float bristleResizeH;
    float bristleResizeV;
    std::int32_t pressureTwist;
    std::int32_t pressureDabSize;
    std::int32_t pressureBristles;
    std::int32_t pressureWidth;
    std::int32_t pressureDabShift;
    std::int32_t alignBristlesToDab;
    std::int32_t alignAngleEndpoint;
    std::int32_t syncBrushToDab;
    std::int32_t applyBristlesAndDab;
    std::int32_t randomBristleCount;
    std::int32_t bristlesRandomSymbols;
    std::int32_t randomBrushHeight;
    std::int32_t randomBrushWidth;
    float interpolationAmount;
    float initialSizeFraction;          // stroke: initialSize × 0.01
    float initialAngleRadians;          // stroke
    float brushSlant;
    float brushSlantRadians;            // stroke
    float bristleScaleH;                // stroke: bristleResizeH × 0.01
    float bristleScaleV;                // stroke: bristleResizeV × 0.01
    std::int32_t presetIndex;
    std::int32_t interpolationTarget;
    std::int32_t paletteOrderIndex;     // stroke: next document symbol in palette order
    HostPoint startPoint;               // stroke: the pointer at mouse down
    HostPoint currentPoint;             // stroke: the pointer of the drag event being processed
    HostPoint lastPoint;                // currentPoint at the last mouse up; -999 until then
};

// The block is plain memory that the host allocates and the plug-in fills.
static_assert(std::is_standard_layout_v<Globals> && std::is_trivially_copyable_v<Globals>);

// The one settings block, empty until startup.
extern Globals* gGlobals;

// The value of lastPoint's coordinates until a stroke has ended.
constexpr float kNoLastPoint = -999.0f;

// Write the default of every option, presetIndex 0, dialogPage 1 and
// lastPoint (-999, -999). The saved dialog bounds and the rest of the stroke
// state are left alone.
void SetDefaults(Globals& globals);
