#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

class QWidget;

// Files the windows read and write whole: jobs, projects, exported hours.

// What the open and save dialogs show of one kind of file.
struct FileKind {
    QString openTitle;       // "Open Job"
    QString saveTitle;       // "Save Job As"
    QString filterName;      // "Varnel DH jobs"
    std::string_view suffix; // ".vdhjob"
};

// The file to open, or to save under (starting from `suggested`); empty when the
// user cancels.
QString ChooseInFileDialog(QWidget* parent, bool forSaving, const QString& suggested,
                           const FileKind& kind);

// One message over `parent` for a file refused: The file "NAME" PROBLEM.
void RefuseFile(QWidget* parent, const QString& path, const std::string& problem);

// The bytes of the file, at most maxBytes of them; nothing, once its one message
// has been answered, when it cannot be read or is larger ("is too large for a
// NAMED (more than N bytes)").
std::optional<QByteArray> ReadWhole(QWidget* parent, const QString& path, std::size_t maxBytes,
                                    std::string_view named);

// Writes `text` to `path` whole or not at all: through a temporary file beside it,
// renamed into place only once every byte is written. On failure one message over
// `parent` says "The WHAT could not be saved as "NAME": REASON." and an earlier
// file of that name is left as it was. True when saved.
bool SaveWhole(QWidget* parent, const QString& path, std::string_view text, const QString& what);
