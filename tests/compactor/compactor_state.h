// The compactor's process-wide state, put back between tests.
#pragma once

// As a fresh process has it: no window (its fonts go with it), an empty
// catalogue whose temporary files are deleted, the run's flags cleared, and no
// message left queued for the next test.
void ResetCompactor();
