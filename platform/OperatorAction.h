#pragma once

#include <functional>

class IMessageBoxes;

// Runs one operator action (a click, a key, a menu command). An error leaving it is shown in
// the standard error box and the action ends there; no exception reaches Qt's event dispatch.
// Returns false when the action failed.
bool RunOperatorAction(IMessageBoxes& boxes, const std::function<void()>& action);
