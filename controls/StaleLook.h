#pragma once

class QObject;

// The look of a host-bound control whose values polling no longer refreshes: dimmed as a
// whole, so its last value and its state colours stay readable but no longer look live. The
// control also carries the property "machStale" (true or false) for checks and style rules.
// A control inside a dimmed frame is not dimmed twice; a widget that already has a graphics
// effect of its own keeps it and gets the property only. Suits the update thread's stale view.
void ShowMachStale(QObject* control, bool stale);

// Whether ShowMachStale last marked `control` stale.
bool IsShownStale(const QObject* control);
