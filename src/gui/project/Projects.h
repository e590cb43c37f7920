#pragma once

#include "core/jobs/Project.h"

#include <QString>

#include <optional>

class QWidget;

// Project files as the windows use them: chosen, read and written here. Every
// failure is told in one message box over `parent`.
namespace Projects {

// The file dialogs, showing project files.
QString ChooseInDialog(QWidget* parent, bool forSaving, const QString& suggested);

// The project in the file; nothing, once its one message has been answered, when
// the file cannot be read or is refused.
std::optional<Project> Open(QWidget* parent, const QString& path);

// Writes the project whole or not at all; true when saved.
bool Save(QWidget* parent, const QString& path, const Project& project);

// Whether a file given to the program is a project rather than a job: by its suffix.
bool IsProjectPath(const QString& path);

} // namespace Projects
