// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/scope/Circuit.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <numbers>
#include <utility>

namespace tavero::sim {

namespace {

struct KindName {
    Circuit::Kind kind;
    std::string_view name;
    std::string_view text;
};

constexpr std::array<KindName, 4> kKinds = {{
    {Circuit::Kind::kThrough, "through", "a wire"},
    {Circuit::Kind::kLowPass, "lowpass", "RC low-pass"},
    {Circuit::Kind::kHighPass, "highpass", "RC high-pass"},
    {Circuit::Kind::kBandPass, "bandpass", "RLC band-pass"},
}};

struct Prefix {
    char letter;
    double factor;
};

constexpr std::array<Prefix, 6> kPrefixes = {
    {{'p', 1e-12}, {'n', 1e-9}, {'u', 1e-6}, {'m', 1e-3}, {'k', 1e3}, {'M', 1e6}}};

std::optional<double> siValue(std::string_view text) {
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end == text.data() || value <= 0) {
        return std::nullopt;
    }
    const std::string_view rest(end, static_cast<std::size_t>(text.data() + text.size() - end));
    if (rest.empty()) {
        return value;
    }
    for (const Prefix& prefix : kPrefixes) {
        if (rest.size() == 1 && rest[0] == prefix.letter) {
            return value * prefix.factor;
        }
    }
    return std::nullopt;
}

/// "100 k", "1.5 m": the value with the largest prefix that keeps it at 1 or more.
std::string engineering(double value) {
    static constexpr std::array<std::pair<double, std::string_view>, 7> kSteps = {
        {{1e6, "M"}, {1e3, "k"}, {1, ""}, {1e-3, "m"}, {1e-6, "u"}, {1e-9, "n"}, {1e-12, "p"}}};
    const auto* step = std::find_if(kSteps.begin(), kSteps.end() - 1,
                                    [value](const auto& s) { return value >= s.first * 0.9999; });
    std::array<char, 32> digits{};
    const auto end = std::to_chars(digits.data(), digits.data() + digits.size(),
                                   value / step->first, std::chars_format::general, 4)
                         .ptr;
    return std::string(digits.data(), end) + " " + std::string(step->second);
}

/// The circuit without the amplifier.
std::complex<double> passiveResponse(const Circuit& circuit, double hz) {
    if (hz <= 0) {
        // At DC the capacitor blocks.
        const bool passesDc =
            circuit.kind == Circuit::Kind::kThrough || circuit.kind == Circuit::Kind::kLowPass;
        return passesDc ? 1.0 : 0.0;
    }
    const double omega = 2 * std::numbers::pi * hz;
    const std::complex<double> capacitor = 1.0 / std::complex<double>(0, omega * circuit.farads);
    const std::complex<double> inductor(0, omega * circuit.henries);
    switch (circuit.kind) {
        case Circuit::Kind::kLowPass:
            return capacitor / (circuit.ohms + capacitor);
        case Circuit::Kind::kHighPass:
            return circuit.ohms / (circuit.ohms + capacitor);
        case Circuit::Kind::kBandPass:
            return circuit.ohms / (circuit.ohms + inductor + capacitor);
        case Circuit::Kind::kThrough:
            break;
    }
    return 1.0;
}

}  // namespace

std::optional<Circuit> parseCircuit(std::string_view text) {
    const std::size_t colon = text.find(':');
    const std::string_view name = text.substr(0, colon);
    Circuit circuit;
    const auto* kind = std::find_if(kKinds.begin(), kKinds.end(),
                                    [name](const KindName& k) { return k.name == name; });
    if (kind == kKinds.end()) {
        return std::nullopt;
    }
    circuit.kind = kind->kind;
    std::string_view values = colon == std::string_view::npos ? "" : text.substr(colon + 1);
    while (!values.empty()) {
        const std::size_t comma = values.find(',');
        const std::string_view item = values.substr(0, comma);
        values = comma == std::string_view::npos ? "" : values.substr(comma + 1);
        const std::optional<double> value =
            item.size() > 2 && item[1] == '=' ? siValue(item.substr(2)) : std::nullopt;
        if (!value) {
            return std::nullopt;
        }
        switch (item[0]) {
            case 'r':
                circuit.ohms = *value;
                break;
            case 'c':
                circuit.farads = *value;
                break;
            case 'l':
                circuit.henries = *value;
                break;
            case 'g':
                circuit.gain = *value;
                break;
            default:
                return std::nullopt;
        }
    }
    return circuit;
}

std::complex<double> circuitResponse(const Circuit& circuit, double hz) {
    return circuit.gain * passiveResponse(circuit, hz);
}

double settlingTimeConstant(const Circuit& circuit) {
    switch (circuit.kind) {
        case Circuit::Kind::kLowPass:
        case Circuit::Kind::kHighPass:
            return circuit.ohms * circuit.farads;
        case Circuit::Kind::kBandPass:
            return 2 * circuit.henries / circuit.ohms;
        case Circuit::Kind::kThrough:
            break;
    }
    return 0;
}

std::string circuitText(const Circuit& circuit) {
    const auto* kind = std::find_if(kKinds.begin(), kKinds.end(),
                                    [&](const KindName& k) { return k.kind == circuit.kind; });
    std::string text(kind->text);
    if (circuit.kind != Circuit::Kind::kThrough) {
        text += " " + engineering(circuit.ohms) + "Ohm";
        if (circuit.kind == Circuit::Kind::kBandPass) {
            text += ", " + engineering(circuit.henries) + "H";
        }
        text += ", " + engineering(circuit.farads) + "F";
    }
    if (circuit.gain != 1) {
        text += ", gain " + engineering(circuit.gain);
    }
    return text;
}

}  // namespace tavero::sim
