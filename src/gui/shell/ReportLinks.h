#pragma once

class frmMethod1;
class frmMethod2;

// Additional Info > Calculation Report... and Psychrometric Chart... of the
// calculation screens. Each shows the screen's last completed run and follows
// the next one; the details appear only while the screen's details lock is open.
void OpenReport(frmMethod1* zone);
void OpenReport(frmMethod2* pool);
void OpenChart(frmMethod1* zone);
void OpenChart(frmMethod2* pool);
