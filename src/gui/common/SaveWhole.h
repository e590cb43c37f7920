#pragma once

#include <QString>

#include <string_view>

class QWidget;

// Writes `text` to `path` whole or not at all: through a temporary file beside it,
// renamed into place only once every byte is written. On failure one message over
// `parent` says "The WHAT could not be saved as "NAME": REASON." and an earlier
// file of that name is left as it was. True when saved.
bool SaveWhole(QWidget* parent, const QString& path, std::string_view text, const QString& what);
