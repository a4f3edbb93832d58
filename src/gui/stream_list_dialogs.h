#pragma once
// The stream-list import's dialog: the statuses of an IAU MDC shower list.

class QtUi;

void registerStreamListDialogs(QtUi& qtUi);
