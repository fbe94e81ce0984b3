// The jobs' staging folder at the agent's start: swaps an interruption left half done are settled, and what no
// job will take up again goes.
#pragma once

#include <string>

// Per job folder (common/install/StagingLayout.h), the suite's own update's included: a swap journal is finished when
// the swap had committed and rolled back otherwise (common::RecoverSwap), and the backups go with it. A folder that
// still holds a journal (the undo failed, e.g. a file is held open) is left for the next start. Fetched files stay, so
// that the job queued again takes them up; a folder untouched for `staleDays` is deleted whole. Calling thread: the UI
// thread, before the worker starts.
void RecoverStagingArea(const std::wstring& stagingFolder, int staleDays = 7);
