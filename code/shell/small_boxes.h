// State of the small boxes that the lower layers can ask about (tests of the readers).
#pragma once

// True while the "Working; Please wait..." box is up (between WAITBOX(1) and WAITBOX(other)).
bool waitbox_shown();
