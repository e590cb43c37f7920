#pragma once

#include <functional>
#include <string>

class frmMethod1;
class frmMethod2;

// Additional Info > Calculation Report... and Psychrometric Chart... of the
// calculation screens. Each shows the screen's last completed run and follows
// the next one; the details appear only while the screen's details lock is open.
// jobTitle gives the title of the job the screen's entries came from, if any.
using JobTitleSource = std::function<std::string()>;
void OpenReport(frmMethod1* zone, JobTitleSource jobTitle = {});
void OpenReport(frmMethod2* pool, JobTitleSource jobTitle = {});
void OpenChart(frmMethod1* zone);
void OpenChart(frmMethod2* pool);
