#pragma once

class IHostWindows;
class IShell;
class IFileDialogs;
class IMessageBoxes;
class IInputBox;
class IWaiter;

// The operating-system services the program uses, handed down from the entry point. The
// services outlive every object that holds this bundle.
struct PlatformServices
{
    IHostWindows& hostWindows;
    IShell& shell;
    IFileDialogs& fileDialogs;
    IMessageBoxes& messageBoxes;
    IInputBox& inputBox;
    IWaiter& waiter;
};
