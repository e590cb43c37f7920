#pragma once

#include <array>
#include <string_view>

// The design weather picker's locations: a name and the ambient texts it gives.
// Projects name their design weather by these names too.
struct DesignLocation {
    std::string_view name;
    std::string_view ambientTemp; // °C
    std::string_view ambientRh;   // %
};

// In the picker's order: the United Kingdom's eight, then the Middle East's two.
inline constexpr std::array<DesignLocation, 10> kDesignLocations{{
    {"Belfast", "23", "53"},
    {"Birmingham", "26", "50"},
    {"Cardiff", "25", "50"},
    {"Edinburgh", "23", "50"},
    {"Glasgow", "24", "55"},
    {"London", "29", "50"},
    {"Manchester", "26", "45"},
    {"Plymouth", "27", "45"},
    {"Dubai", "46", "30"},
    {"Kuwait", "46", "30"},
}};

// The location of that name, or null.
constexpr const DesignLocation* FindDesignLocation(std::string_view name) {
    for (const DesignLocation& location : kDesignLocations) {
        if (location.name == name) {
            return &location;
        }
    }
    return nullptr;
}
