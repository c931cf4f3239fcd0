#include "platform/QtSettingsStore.h"

bool QtSettingsStore::Contains(const QString&) const { return false; }
QString QtSettingsStore::Read(const QString&, const QString& defaultValue) const { return defaultValue; }
void QtSettingsStore::Write(const QString&, const QString&) {}
