// What the explorer needs from the control that owns it: properties, the file store, errors and events.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

class CWyFileSystem;

// The control implements this; the explorer never sees the control's class.
class CWyExplorerOwner {
public:
    // TransferByte in bytes: the chunk size of an upload.
    virtual DWORD GetTransferChunkSize() const = 0;
    virtual bool IsTreeVisible() const = 0;
    virtual std::string GetCurrentDirectoryString() const = 0;
    // The store, or null when not connected.
    virtual CWyFileSystem* GetFileSystem() const = 0;
    // Runs work on the store while it is marked in use (a DisConnect asked
    // for meanwhile, by an event handler, waits until work is done). Does
    // nothing without a store. Failures of work pass to the caller.
    virtual void UseFileSystem(const std::function<void(CWyFileSystem&)>& work) = 0;

    // A gesture of the user begins or ends (see CWyOwnerCall).
    virtual void BeginCall() = 0;
    virtual void EndCall() = 0;

    // Answers what other threads send to the windows of this thread, the
    // control busy meanwhile; called between pieces of long work.
    virtual void AnswerSentMessages() = 0;

    virtual bool IsTransferring() const = 0;
    virtual void SetTransferring(bool transferring) = 0;
    virtual void SetLastErrorInfo(long code, const std::string& message) = 0;
    // Fires the stock Error event (never raises to a caller).
    virtual void FireErrorEvent(SCODE status, const std::string& description, UINT helpContext) = 0;
    virtual void FireTreePopUp(const std::string& name) = 0;
    virtual void FireListPopUp(const std::string& name) = 0;
    virtual void FireTransferStart(const std::string& name) = 0;
    virtual void FireTransferEnd() = 0;
    // The caption of the control's message boxes (its module's name).
    virtual const wchar_t* GetMessageCaption() const = 0;

protected:
    ~CWyExplorerOwner() = default;
};

// One gesture of the user, from the message that starts it to its end: the
// store reads each listing once within it.
class CWyOwnerCall {
public:
    explicit CWyOwnerCall(CWyExplorerOwner& owner) : m_owner(owner) { m_owner.BeginCall(); }
    ~CWyOwnerCall() { m_owner.EndCall(); }
    CWyOwnerCall(const CWyOwnerCall&) = delete;
    CWyOwnerCall& operator=(const CWyOwnerCall&) = delete;

private:
    CWyExplorerOwner& m_owner;
};
