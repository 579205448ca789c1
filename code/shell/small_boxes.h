// Small modal boxes of the shell that only the shell calls, and the state of the wait box that
// the lower layers can ask about (tests of the readers).
#pragma once

// True while the "Working; Please wait..." box is up (between WAITBOX(1) and WAITBOX(other)).
bool waitbox_shown();
// "No parameter file has been opened": flag 0 once one is opened and read, 1 for "Exit Program".
void NOPARFILE(int& flag);
// "No output data file has been opened": flag 0 after "Continue" or once one is open, 1 "Exit".
void RUN_NOOUTPUT(int& flag);
