#include "analysis/Atmosphere.h"

#include <cmath>
#include <gtest/gtest.h>

// The ICAO standard atmosphere's table (ICAO Doc 7488) by height above sea level: pressure,
// density and speed of sound at the table's temperature.
TEST(Atmosphere, MatchesTheIcaoStandardAtmosphere) {
    const double Rows[][5] = {{0, 15, 1013.25, 1.2250, 340.29},
                              {1000, 8.5, 898.76, 1.1117, 336.43},
                              {2000, 2.0, 795.01, 1.0066, 332.53},
                              {5000, -17.47, 540.48, 0.7364, 320.55}};
    for (const auto& [Altitude, TemperatureC, PressureHpa, Density, Sound] : Rows) {
        EXPECT_NEAR(StationPressureAtAltitude(Altitude), PressureHpa, 0.01);
        EXPECT_NEAR(AirDensity({TemperatureC, PressureHpa, 0}), Density, 1e-4);
        EXPECT_NEAR(SpeedOfSound({TemperatureC, PressureHpa, 0}), Sound, 0.01);
    }
}

// Dry air at 1013.25 hPa from the handbooks' tables; damp air by hand as dry air and vapour at
// their partial pressures, the vapour's from the steam tables (IAPWS): 23.39 hPa at 20 °C,
// 42.47 hPa at 30 °C, with 287.05 and 461.5 J/(kg K).
TEST(Atmosphere, AirDensityMatchesTablesWithAndWithoutVapour) {
    const double Rows[][3] = {{0, 0, 1.2922},  {20, 0, 1.2041},   {30, 0, 1.1644},
                              {20, 1, 1.1936}, {20, 0.5, 1.1989}, {30, 1, 1.1460}};
    for (const auto& [TemperatureC, Humidity, Density] : Rows)
        EXPECT_NEAR(AirDensity({TemperatureC, 1013.25, Humidity}), Density, 1.5e-4) << TemperatureC;
}

TEST(Atmosphere, RejectsAirItCannotDescribe) {
    for (const TAir& Air : {TAir{NAN, 1013.25, 0}, TAir{-61, 1013.25, 0}, TAir{15, 1101, 0},
                            TAir{15, 299, 0}, TAir{15, 1013.25, -0.1}, TAir{15, 1013.25, 1.1}}) {
        EXPECT_THROW(AirDensity(Air), EStatisticsError);
        EXPECT_THROW(SpeedOfSound(Air), EStatisticsError);
    }
    EXPECT_THROW(StationPressureAtAltitude(9001), EStatisticsError);
}
