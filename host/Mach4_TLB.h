#pragma once

#include <QString>

#include <cstdint>
#include <memory>

// The controller's automation contract: the document class that the running controller
// registers, and the script object through which every read and write passes. The transport
// behind it (the local link to the simulated host, COM on Windows, a test double) is chosen by
// whoever creates the document.

namespace Mach4 {

// Class and interface identifiers of the controller's type library.
inline constexpr char CLASS_CMach4Doc[] = "{CA7992B2-2653-4342-8061-D7D385C07809}";
inline constexpr char IID_IMach4[] = "{D5DC1674-0CB6-47D4-BD22-E6D60631C86D}";
inline constexpr char IID_IMyScriptObject[] = "{F1D3EE6C-AB32-4996-B270-F415613F5BA3}";

// Dispatch identifiers of the script object's operations.
enum DispId : int {
    DISPID_DeActivateSignal = 14,
    DISPID_GetVar = 20,
    DISPID_Code = 28,
    DISPID_IsMoving = 34,
    DISPID_DoOEMButton = 40,
    DISPID_DoButton = 42,
    DISPID_GetOEMLed = 44,
    DISPID_GetOEMDRO = 45,
    DISPID_SetOEMDRO = 48,
    DISPID_IsLoading = 73,
    DISPID_SetButtonText = 89,
    DISPID_Message = 99,
    DISPID_FileName = 124,
    DISPID_LoadFile = 136,
};

// Dispatch identifiers of the document's two operations.
enum DocDispId : int {
    DISPID_Doc_GetScriptDispatch = 3,  // returns the script object
    DISPID_Doc_Release = 4,            // called once, last, when leaving the host
};

}  // namespace Mach4

// Converts a code or index to the 16-bit signed integer the host takes. Raises a ZentyrError
// (range error) for a value outside -32768..32767, before any host call is made.
int16_t MachInt16(long long value);

// The host's script object. Every call is synchronous and runs on the user-interface thread;
// a failing call raises a ZentyrError and fails the calling operation.
class IMyScriptObject
{
public:
    virtual ~IMyScriptObject() = default;

    virtual void DeActivateSignal(int16_t signal) = 0;
    virtual double GetVar(int16_t index) = 0;
    // Queues G-code or MDI text; returns at once.
    virtual void Code(const QString& text) = 0;
    virtual bool IsMoving() = 0;
    virtual void DoOEMButton(int16_t code) = 0;
    virtual void DoButton(int16_t number) = 0;
    // True (non-zero) while that OEM LED is lit.
    virtual bool GetOEMLed(int16_t code) = 0;
    virtual double GetOEMDRO(int16_t code) = 0;
    virtual void SetOEMDRO(int16_t code, double value) = 0;
    // Non-zero while a file loads.
    virtual int16_t IsLoading() = 0;
    // Text handed over before DoButton.
    virtual void SetButtonText(const QString& text) = 0;
    // Text shown on the host's status line.
    virtual void Message(const QString& text) = 0;
    // Path of the loaded file; begins with "No File" when none is loaded.
    virtual QString FileName() = 0;
    virtual void LoadFile(const QString& path) = 0;
};

// The host document: one connection to the controller.
class IMach4Document
{
public:
    // NewInstance is kept for the stored settings' sake; connecting always needs a running host.
    enum class ConnectKind { NewInstance, RunningInstance };

    virtual ~IMach4Document() = default;

    virtual void SetConnectKind(ConnectKind kind) = 0;
    virtual ConnectKind GetConnectKind() const = 0;

    // Takes the running instance and subscribes the (silent) event sink. Raises a ZentyrError
    // when the host is not running.
    virtual void Connect() = 0;
    virtual bool IsConnected() const = 0;

    // Document operation 3, queried for the script object. The object stays valid after the
    // document is released; its calls then fail.
    virtual std::shared_ptr<IMyScriptObject> GetScriptObject() = 0;

    // Document operation 4: the last call made when leaving the host.
    virtual void Release() = 0;
};

// Creates documents; the host connection and the update thread each take their own.
class IMach4DocumentFactory
{
public:
    virtual ~IMach4DocumentFactory() = default;
    virtual std::unique_ptr<IMach4Document> CreateDocument() = 0;
};
