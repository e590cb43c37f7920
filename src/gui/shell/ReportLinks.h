#pragma once

#include <functional>
#include <string>

class frmMethod1;
class frmMethod2;

// Additional Info > Calculation Report... and Psychrometric Chart... of the
// calculation screens. Each shows the run whose results the screen shows and
// follows the next one; the report names the entries changed on the screen
// since. The details appear only while the screen's details lock is open.
// jobTitle gives the title of the job the screen's entries came from, if any.
using JobTitleSource = std::function<std::string()>;
void OpenReport(frmMethod1* zone, JobTitleSource jobTitle = {});
void OpenReport(frmMethod2* pool, JobTitleSource jobTitle = {});
void OpenChart(frmMethod1* zone);
void OpenChart(frmMethod2* pool);
