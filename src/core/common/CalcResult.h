#pragma once

#include <optional>
#include <string>
#include <vector>

// What both calculations hand back to their screen: the outcome, the field texts
// to write, at most one message and where the focus goes. The screen applies them
// in this order: fieldTexts, message, focus, afterMessage.

enum class Outcome { Completed, EnvelopeRejected, RatesRejected };

const char* OutcomeName(Outcome outcome);

struct FieldText {
    std::string field; // objectName of the field; "frmMethod1.txtiter" names another screen's field
    std::string text;  // empty clears the field

    bool operator==(const FieldText&) const = default;
};

struct CalcResult {
    Outcome outcome = Outcome::Completed;
    std::vector<FieldText> fieldTexts;   // written in order, before the message
    std::optional<std::string> message;  // at most one
    std::optional<std::string> focus;    // field to focus after the message
    std::vector<FieldText> afterMessage; // fields a failing step empties once the
                                         // message is answered and the focus moved
};

// One refused entry: its message and the field to empty.
struct Refusal {
    std::string field;
    std::string message;

    bool operator==(const Refusal&) const = default;
};

// The outcome of an input check chain: the warnings met, in order, and either a
// refusal or the validated numbers.
template <typename Inputs> struct CheckResult {
    std::vector<std::string> warnings;
    std::optional<Refusal> refusal;
    std::optional<Inputs> inputs;
};

inline const char* OutcomeName(Outcome outcome) {
    switch (outcome) {
    case Outcome::Completed:
        return "Completed";
    case Outcome::EnvelopeRejected:
        return "EnvelopeRejected";
    case Outcome::RatesRejected:
        return "RatesRejected";
    }
    return "";
}
