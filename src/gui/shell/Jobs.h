#pragma once

#include "core/jobs/JobFile.h"

#include <QString>

#include <functional>
#include <optional>

class QWidget;

// Job files as the screens use them: chosen, read and written here, so that the
// windows only hand over and take their entry texts. Every failure is told in
// one message box over `parent`.
namespace Jobs {

// The file to open, or to save under (starting from `suggested`); empty when the
// user cancels.
using FileChooser =
    std::function<QString(QWidget* parent, bool forSaving, const QString& suggested)>;

// The file dialogs, showing job files.
QString ChooseInDialog(QWidget* parent, bool forSaving, const QString& suggested);

// The job in the file; nothing, once its one message has been answered, when the
// file cannot be read or is refused.
std::optional<Job> Open(QWidget* parent, const QString& path);

// Why the screens cannot take the job as it is (it sets a barometric pressure
// other than the one they calculate at), worded to follow its name; none when
// they can.
std::optional<std::string> PressureProblem(const Job& job);

// Writes the job atomically: on failure its one message is shown and an earlier
// file of that name is left as it was. True when saved.
bool Save(QWidget* parent, const QString& path, const Job& job);

} // namespace Jobs
