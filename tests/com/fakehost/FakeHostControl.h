#pragma once

// The fake automation server's own operations on its document object, beside the document's
// operations 3 and 4. Tests use them to set the answers, read the journal and inject faults;
// they are never journaled.

namespace fakehost {

enum ControlId : long {
    // (key: text, value: variant). Keys: "led:<code>", "dro:<code>", "var:<index>",
    // "IsMoving", "IsLoading", "FileName". The value is returned as it is, of any type.
    Control_Set = 1000,
    // () -> text: the journal, one call per line, e.g. DoOEMButton(1021) or Code("G0 X1").
    Control_Journal = 1001,
    Control_ClearJournal = 1002,
    // (dispId, text): the next call of that operation is journaled, then fails with a host
    // exception carrying the text.
    Control_FailNext = 1003,
    // (dispId, ms): the next call of that operation answers only after that many ms.
    Control_HangNext = 1004,
    // () -> int: sinks subscribed on the connection point.
    Control_AdvisedSinks = 1005,
    // () -> int: references held on the script object from outside the server.
    Control_ScriptReferences = 1006,
    // () -> int: the server's process id.
    Control_ProcessId = 1007,
    // (): ends the server.
    Control_Quit = 1008,
    // () -> text: the last text argument received, exactly.
    Control_LastText = 1009,
};

}  // namespace fakehost
