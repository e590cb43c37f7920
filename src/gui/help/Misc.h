#pragma once

#include <QString>

// The help launcher every screen uses.
namespace Misc {

// Where the help collection varneldh.qhc is: next to the program first, then in
// the program's and the system's data folders (under "varneldh/"). The
// environment variable VARNELDH_HELP_COLLECTION, when set, names it instead.
// When it is nowhere, the path next to the program, so that a report can name it.
QString HelpCollectionPath();

// Opens the help window at its contents.
void ShowHelpContents();

// Opens the help window at the topic with context number N (1 natural
// infiltration rate, 2 mechanical ventilation rate, 3 fresh air share,
// 4 building process gains).
void ShowHelpTopic(int N);

} // namespace Misc
