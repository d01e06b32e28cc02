#include "analysis/DragG1.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <iterator>
#include <numbers>

namespace {

struct TDragPoint {
    double Mach;
    double Cd;
};

// The G1 standard drag function as the US Army Ballistic Research Laboratory tabulates it, in
// its usual 79 points from Mach 0 to 5 (the drag coefficient of Ingalls' standard projectile);
// published data, written down here from the standard table.
constexpr std::array<TDragPoint, 79> G1Table = {{
    {0.000, 0.2629}, {0.050, 0.2558}, {0.100, 0.2487}, {0.150, 0.2413}, {0.200, 0.2344},
    {0.250, 0.2278}, {0.300, 0.2214}, {0.350, 0.2155}, {0.400, 0.2104}, {0.450, 0.2061},
    {0.500, 0.2032}, {0.550, 0.2020}, {0.600, 0.2034}, {0.700, 0.2165}, {0.725, 0.2230},
    {0.750, 0.2313}, {0.775, 0.2417}, {0.800, 0.2546}, {0.825, 0.2706}, {0.850, 0.2901},
    {0.875, 0.3136}, {0.900, 0.3415}, {0.925, 0.3734}, {0.950, 0.4084}, {0.975, 0.4448},
    {1.000, 0.4805}, {1.025, 0.5136}, {1.050, 0.5427}, {1.075, 0.5677}, {1.100, 0.5883},
    {1.125, 0.6053}, {1.150, 0.6191}, {1.200, 0.6393}, {1.250, 0.6518}, {1.300, 0.6589},
    {1.350, 0.6621}, {1.400, 0.6625}, {1.450, 0.6607}, {1.500, 0.6573}, {1.550, 0.6528},
    {1.600, 0.6474}, {1.650, 0.6413}, {1.700, 0.6347}, {1.750, 0.6280}, {1.800, 0.6210},
    {1.850, 0.6141}, {1.900, 0.6072}, {1.950, 0.6003}, {2.000, 0.5934}, {2.050, 0.5867},
    {2.100, 0.5804}, {2.150, 0.5743}, {2.200, 0.5685}, {2.250, 0.5630}, {2.300, 0.5577},
    {2.350, 0.5527}, {2.400, 0.5481}, {2.450, 0.5438}, {2.500, 0.5397}, {2.600, 0.5325},
    {2.700, 0.5264}, {2.800, 0.5211}, {2.900, 0.5168}, {3.000, 0.5133}, {3.100, 0.5105},
    {3.200, 0.5084}, {3.300, 0.5067}, {3.400, 0.5054}, {3.500, 0.5040}, {3.600, 0.5030},
    {3.700, 0.5022}, {3.800, 0.5016}, {3.900, 0.5010}, {4.000, 0.5006}, {4.200, 0.4998},
    {4.400, 0.4995}, {4.600, 0.4992}, {4.800, 0.4990}, {5.000, 0.4988},
}};

double DragFactor(double BallisticCoefficient, const TAir& Air) {
    RequirePositive(BallisticCoefficient, "The ballistic coefficient");
    return std::numbers::pi / 8 * AirDensity(Air) /
           (BallisticCoefficient * KilogramsPerSquareMetrePerBc);
}

} // namespace

double G1DragCoefficient(double Mach) {
    RequireNotNegative(Mach, "The Mach number");
    const auto Above = std::upper_bound(G1Table.begin(), G1Table.end(), Mach,
                                        [](double M, const TDragPoint& P) { return M < P.Mach; });
    if (Above == G1Table.end())
        return G1Table.back().Cd;
    const TDragPoint& Below = *std::prev(Above);
    return Below.Cd + (Mach - Below.Mach) / (Above->Mach - Below.Mach) * (Above->Cd - Below.Cd);
}

TG1Drag::TG1Drag(double BallisticCoefficient, const TAir& Air)
    : Factor(DragFactor(BallisticCoefficient, Air)), SoundSpeed(SpeedOfSound(Air)) {}

double TG1Drag::DecayPerMetre(double AirSpeed) const {
    return Factor * G1DragCoefficient(AirSpeed / SoundSpeed);
}
