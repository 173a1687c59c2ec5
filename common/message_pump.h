// Keeps windows painting while the one thread is busy with long work.
#pragma once

// Handles every message already queued for the thread, without waiting.
void PumpPendingMessages();
