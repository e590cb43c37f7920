#pragma once

#include "core/common/Fields.h"
#include "core/pool/PoolCalc.h"
#include "core/psychrometrics/Psychrometrics.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

// Second opinions on a pool's evaporation: the published methods designers
// compare, each worked from the room air and water surface of a completed pool
// run, beside the program's own figure. The program's figures stay as they are.
namespace EvaporationMethods {

// The pool types of VDI 2089-1 with their water-transfer coefficients.
enum class PoolType { Covered, Resting, Private, PublicDeep, PublicShallow, WavesAndSlides };

struct PoolTypeSpec {
    PoolType type;
    std::string_view key; // short lowercase name for the command line
    std::string_view caption;
    double beta; // water-transfer coefficient, m/h
    // The coefficient of a pool in use already holds the bathers' own moisture
    // (wet bodies, wet surrounds, breath), so only people out of the water add theirs.
    bool holdsBathers;
};

extern const std::array<PoolTypeSpec, 6> kPoolTypes;

// The type the Evaporation Methods window and the report start with: most pools
// this program sizes for are private ones.
inline constexpr PoolType kDefaultPoolType = PoolType::Private;

const PoolTypeSpec& SpecOf(PoolType type);

// The type of that key; none for a key of no type.
std::optional<PoolType> PoolTypeKeyed(std::string_view key);

// Shah's unoccupied pool, per m2 of water, kg/(m2 h): the natural-convection term,
// the term for little or no density difference, and the larger of the two.
struct ShahUnoccupiedRate {
    double naturalConvection = 0;
    double lowDensityDifference = 0;
    double rate = 0;
};

ShahUnoccupiedRate ShahUnoccupied(const Psychrometrics::AirState& room,
                                  const Psychrometrics::AirState& surface);

// Shah's occupied-to-unoccupied ratio E/E0 for the density difference room air
// minus surface air (kg/m3) and the people in the water per m2 of water.
double ShahOccupancyFactor(double densityDifference, double personsPerM2);

// VDI 2089-1's mass-transfer form, kg/h: coefficient beta (m/h), water and room
// air temperatures (°C), saturation pressure at the water and the room's vapour
// pressure (Pa), water area (m2).
double Vdi2089Evaporation(double beta, double waterTemp, double airTemp, double surfacePws,
                          double roomPw, double area);

enum class Method { Program, AshraeReference, ShahOccupied, ShahUnoccupied, Vdi2089 };

// Every method in the order shown: the program's figure, its reference figure,
// Shah occupied and unoccupied, VDI 2089-1.
inline constexpr std::array<Method, 5> kMethods{Method::Program, Method::AshraeReference,
                                                Method::ShahOccupied, Method::ShahUnoccupied,
                                                Method::Vdi2089};

// A short name of the method for field names and machine-read output.
std::string_view KeyOf(Method method);

// The method as the window and the report name it.
std::string_view CaptionOf(Method method);

// One method's figure with what it means for the units.
struct Figure {
    Method method = Method::Program;
    std::string_view caption;
    double kgPerHour = 0;
    double litresPerDay = 0;
    double differencePercent = 0; // from the program's own figure
    double count100 = 0;
    double count160 = 0;
    double count200 = 0;
    // Why the figure lies outside its method's published range; empty inside it.
    std::string outOfRange;
};

// Every method's figure in the order of kMethods, VDI 2089-1 for the chosen pool type.
std::array<Figure, 5> Compare(const PoolInputs& in, const PoolNumbers& n, PoolType type);

// How each figure is written, column by column.
extern const std::array<ResultSpec, 6> kFigureColumns;

// The figure's texts in the order of kFigureColumns; a value that is not finite
// is the empty text.
std::array<std::string, 6> FigureTexts(const Figure& figure);

} // namespace EvaporationMethods
