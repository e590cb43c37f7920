#pragma once

#include "core/common/CalcResult.h"
#include "core/common/Fields.h"

#include <QLineEdit>
#include <QString>

#include <functional>
#include <initializer_list>
#include <span>
#include <string_view>

class QComboBox;
class QLabel;
class QMainWindow;
class QWidget;

// The engine's texts are UTF-8.
QString ToQString(std::string_view text);

// The look the calculation screens share: their font, the blue bold group
// captions, the dark result fields and the light rule under the menu bar.
void StyleScreen(QWidget* screen);

// Gives every field that has a caption beside it (its buddy) that caption as its
// accessible name, unless it has one already; the text part of an editable list
// takes its list's name.
void NameFieldsByCaptions(QWidget* screen);

// The text field of a screen with that objectName: a text field, or the text
// part of an editable list; null when there is none.
QLineEdit* FindField(const QWidget* screen, const QString& name);

// The entry texts of a screen as its fields hold them, in the record the
// calculation reads.
template <typename Texts, typename Inputs>
Texts ReadEntryTexts(const QWidget* screen, std::span<const EntrySpec<Texts, Inputs>> table) {
    Texts texts;
    for (const auto& entry : table) {
        texts.*entry.text = FindField(screen, ToQString(entry.name))->text().toStdString();
    }
    return texts;
}

// One row of a detail panel's property grid: its caption and the fields of its
// two columns (the second may be null).
struct GridRow {
    QLabel* caption;
    QLineEdit* first;
    QLineEdit* second;
};

// Names each grid field by its column and row, e.g. "Zone pws (Pa)".
void NameGridFields(std::initializer_list<GridRow> rows, const QString& firstColumn,
                    const QString& secondColumn);

// Tab moves through the widgets in this order.
void SetTabOrder(std::initializer_list<QWidget*> order);

// Keeps the Enter key out of a numeric entry field: it inserts nothing, moves
// nothing and presses nothing. Every other key passes unchanged.
void SuppressEnterKey(QWidget* field);

// An editable list keeps what is typed exactly as typed: no completion, no
// case correction, nothing added to its list, and Enter adds nothing either.
// Entries such as the activity are matched exactly, so a completed "Lab" would
// quietly change the result.
void KeepTypedText(QComboBox* list);

// The status bar StatusBar1 of a working screen: an empty panel of the given
// width (twips) that takes what is left, then the time and the date in the
// system's short formats, kept current.
void InstallStatusBar(QMainWindow* screen, int plainPanelTwips);

// Sizes a working screen so that the area below its menu bar is w x h pixels.
void SetClientSize(QMainWindow* screen, int w, int h);

// Places a window's client area in the middle of the screen it will show on.
void CentreOnScreen(QWidget* window);

// The close rule of the working screens: a close request never closes the
// window; one from the user's own close control ends the program through
// endProgram, one from anywhere else is refused.
void InstallCloseRule(QMainWindow* screen, std::function<void()> endProgram);

// Finds the field a result names; null when the screen has none by that name.
using FieldResolver = std::function<QLineEdit*(const QString& name)>;

// Takes a field text that the screen shows somewhere other than in a field of
// its own; false leaves it to the screen's field of that name.
using FieldDivert = std::function<bool(const QString& name, const QString& text)>;

// Applies a calculation's result the way every screen does: the field texts in
// order, then the message (waiting for OK), the focus, and last the fields the
// failing step empties.
void ApplyResult(QWidget* screen, const CalcResult& result, const FieldResolver& resolve,
                 const FieldDivert& divert = {});

// Shows the warnings of a check chain one by one, then carries out its refusal:
// the message, the field emptied and, where asked, focused. True when refused.
template <typename Inputs>
bool ApplyChecks(QWidget* screen, const CheckResult<Inputs>& checks, const FieldResolver& resolve,
                 bool focusRefused);

// Non-template part of ApplyChecks.
bool ApplyCheckMessages(QWidget* screen, const std::vector<std::string>& warnings,
                        const std::optional<Refusal>& refusal, const FieldResolver& resolve,
                        bool focusRefused);

template <typename Inputs>
bool ApplyChecks(QWidget* screen, const CheckResult<Inputs>& checks, const FieldResolver& resolve,
                 bool focusRefused) {
    return ApplyCheckMessages(screen, checks.warnings, checks.refusal, resolve, focusRefused);
}
