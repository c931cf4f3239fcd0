#pragma once

class QWidget;

// Closes `window` as the operator's close would when the process is asked to end (SIGTERM,
// SIGINT or SIGHUP: a desktop ending the session, `kill`, Ctrl+C in a terminal), so the close
// sequence still runs: the host is put into reset and released, settings and layout are
// written. The signal only wakes the event loop; the close runs there. A second signal ends
// the process at once. Call once, from the UI thread; does nothing on Windows.
void CloseOnTerminationSignals(QWidget& window);
