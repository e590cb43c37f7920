#pragma once

#include <QString>
#include <QtGlobal>

// The platform side of the About box's System Info button.

// The registry's root key for machine-wide settings, as the registry API
// numbers it.
inline constexpr quint32 kKeyLocalMachine = 0x80000002u;

// Reads the value SubKeyRef of the registry key KeyName under KeyRoot into
// KeyVal. Text values are taken as they are, 32-bit numbers as decimal text,
// any other type leaves KeyVal unchanged. False, with KeyVal emptied, when the
// key or the value cannot be read. Without a registry it is always false.
bool GetKeyValue(quint32 KeyRoot, const QString& KeyName, const QString& SubKeyRef,
                 QString& KeyVal);

// The system-information program to start, or empty when there is none: on
// Windows the one the registry names, elsewhere the first of a few well-known
// viewers found on the PATH.
QString SysInfoProgram();
