#include "gui/shell/SysInfo.h"

#include <QFileInfo>
#include <QStandardPaths>
#include <QStringList>

#ifdef Q_OS_WIN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cstring>
#endif

namespace {

const QString kSysInfoKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
const QString kSysInfoValue = QStringLiteral("PATH");
const QString kSysInfoLocationKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");
const QString kSysInfoLocationValue = QStringLiteral("MSINFO");

} // namespace

#ifdef Q_OS_WIN

bool GetKeyValue(quint32 KeyRoot, const QString& KeyName, const QString& SubKeyRef,
                 QString& KeyVal) {
    // The predefined root handles are 32-bit values sign-extended to pointer width.
    const HKEY root = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(KeyRoot)));
    HKEY key = nullptr;
    // Read access only: asking for write access as well is refused to ordinary users.
    if (RegOpenKeyExW(root, reinterpret_cast<LPCWSTR>(KeyName.utf16()), 0, KEY_READ, &key) !=
        ERROR_SUCCESS) {
        KeyVal.clear();
        return false;
    }

    wchar_t buffer[1024] = {};
    DWORD type = 0;
    DWORD size = sizeof(buffer);
    if (RegQueryValueExW(key, reinterpret_cast<LPCWSTR>(SubKeyRef.utf16()), nullptr, &type,
                         reinterpret_cast<LPBYTE>(buffer), &size) != ERROR_SUCCESS) {
        KeyVal.clear();
        RegCloseKey(key);
        return false;
    }

    // The reported size counts bytes and usually includes the closing NUL.
    qsizetype length = static_cast<qsizetype>(size / sizeof(wchar_t));
    if (length > 0 && buffer[length - 1] == L'\0')
        --length;

    if (type == REG_SZ) {
        KeyVal = QString::fromWCharArray(buffer, length);
    } else if (type == REG_DWORD && size >= sizeof(DWORD)) {
        DWORD number = 0;
        std::memcpy(&number, buffer, sizeof(number));
        KeyVal = QString::number(number);
    }
    RegCloseKey(key);
    return true;
}

#else

bool GetKeyValue(quint32, const QString&, const QString&, QString& KeyVal) {
    KeyVal.clear();
    return false;
}

#endif

QString SysInfoProgram() {
    QString value;
    // The full path of the program, started as it stands.
    if (GetKeyValue(kKeyLocalMachine, kSysInfoKey, kSysInfoValue, value))
        return value;
    // Else the folder that should hold it.
    if (GetKeyValue(kKeyLocalMachine, kSysInfoLocationKey, kSysInfoLocationValue, value)) {
        const QString program = value + QStringLiteral("\\MSINFO32.EXE");
        return QFileInfo::exists(program) ? program : QString();
    }
#ifndef Q_OS_WIN
    // Without a registry: the first of the well-known viewers on the PATH.
    for (const QString& name :
         {QStringLiteral("hardinfo2"), QStringLiteral("hardinfo"), QStringLiteral("kinfocenter")}) {
        const QString program = QStandardPaths::findExecutable(name);
        if (!program.isEmpty())
            return program;
    }
#endif
    return {};
}
