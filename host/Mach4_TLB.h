#pragma once

#include "host/Mach4Ids.h"

#include <QString>

#include <cstdint>
#include <memory>

// The controller's automation contract: the document class that the running controller
// registers, and the script object through which every read and write passes. The transport
// behind it (the local link to the simulated host, COM on Windows, a test double) is chosen by
// whoever creates the document.

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
