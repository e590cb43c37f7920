#pragma once

#include "core/jobs/Project.h"

#include <QString>

class QWidget;
class frmProjectReport;

// The project's report, worked out from its rooms' entries as they stand now,
// in a window of the project window's own: opened, or brought forward showing
// the project afresh. projectPath is the project's file, empty when unsaved.
frmProjectReport* OpenProjectReport(QWidget* parent, const Project& project,
                                    const QString& projectPath);
