// One directory entry as an automation object: Name, Type, Size, LastWriteTime, ExactSize.
#pragma once
#include "framework/CmdTarget.h"
#include "framework/OleDateTime.h"

#include <string>

class CWyFTPFile : public CCmdTarget {
public:
    CWyFTPFile() = default;

    // The automation interface this object answers to.
    DispatchTable GetDispatchTable() const override;
    const IID& GetDispatchIid() const override;
    TypeLibraryId GetTypeLibraryId() const override;

    std::string GetName() const { return m_strName; }
    void SetName(const std::string& name) { m_strName = name; }
    long GetType() const { return m_nType; }
    void SetType(long type) { m_nType = type; }
    long GetSize() const { return m_nSize; }
    void SetSize(long size) { m_nSize = size; }
    // The whole size in bytes, exact up to 2^53 (no host lacks a double;
    // VBScript has no 64-bit integer). Size answers as GetFileSize does:
    // -2 from 4 GiB - 1 bytes on.
    AutomationReal GetExactSize() const { return {static_cast<double>(m_nLength)}; }
    void SetLength(ULONGLONG length) { m_nLength = length; }
    double GetLastWriteTime() const { return m_dtLastWriteTime.m_dt; }
    void SetLastWriteTime(double time) { m_dtLastWriteTime = COleDateTime(time); }

protected:

private:
    std::string m_strName;
    long m_nType = 0;
    long m_nSize = 0;
    ULONGLONG m_nLength = 0;
    COleDateTime m_dtLastWriteTime;
};
