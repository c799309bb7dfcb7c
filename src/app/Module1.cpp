#include "app/Module1.h"

#include "app/SettingRules.h"

#include <QGuiApplication>
#include <QSettings>
#include <QStringList>

namespace {
const QString settingsGroup = QStringLiteral("Settings");

// The INI reader turns an unquoted value with a comma into a list; a value
// edited by hand that way is still one text to this program.
QString readText(QSettings& store, const QString& key, const QString& fallback)
{
    const QVariant v = store.value(key);
    if (!v.isValid())
        return fallback;
    if (v.typeId() == QMetaType::QStringList)
        return v.toStringList().join(QLatin1Char(','));
    return v.toString();
}

// A stored value that the advanced options would refuse gives the default,
// as an absent key does.
qint32 readNumber(QSettings& store, const QString& key, qint32 fallback, SettingRules::Range range)
{
    return SettingRules::number(readText(store, key, QString()), range).value_or(fallback);
}

bool readBoolean(QSettings& store, const QString& key, bool fallback)
{
    const QString text = readText(store, key, QString()).trimmed();
    if (text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (text.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    return fallback;
}
} // namespace

namespace Module1 {

void Main(
    ProgramState& state, QSettings& store, AppSettings& settings, UsableInterfaces& usable, const StartupHooks& hooks)
{
    state.BroadcastAddress = QStringLiteral("255.255.255.255");
    ReadSettings(store, settings);
    usable.LanAdapterCount = hooks.buildInterfaceList();
    if (usable.LanAdapterCount >= 1)
        hooks.loadMainWindowAndShowWelcome();
    else
        hooks.showNoAdaptorPage();
}

void ReadSettings(QSettings& store, AppSettings& settings)
{
    const AppSettings defaults;
    store.beginGroup(settingsGroup);
    settings.APN = readText(store, QStringLiteral("APN"), defaults.APN);
    settings.PPPPhonenum = readText(store, QStringLiteral("PPPPhonenum"), defaults.PPPPhonenum);
    settings.CfgDir = readText(store, QStringLiteral("CfgDir"), defaults.CfgDir);
    settings.GPRSCfgFile = readText(store, QStringLiteral("GPRSCfgFile"), defaults.GPRSCfgFile);
    settings.TestHost = readText(store, QStringLiteral("TestHostname"), defaults.TestHost);
    // Every start waits the standard reboot time, whatever an earlier run stored.
    settings.RebootTime = 50;
    settings.PPPWaitTime
        = readNumber(store, QStringLiteral("PPPWaitTime"), defaults.PPPWaitTime, SettingRules::PPPWaitTime);
    const QString instance = readText(store, QStringLiteral("GPRSPPP"), defaults.GPRSPPP);
    settings.GPRSPPP = SettingRules::isPppInstance(instance) ? instance : defaults.GPRSPPP;
    settings.PingTimeout
        = readNumber(store, QStringLiteral("PingTimeout"), defaults.PingTimeout, SettingRules::PingTimeout);
    settings.ShowStatusLog = readBoolean(store, QStringLiteral("ShowStatusLog"), defaults.ShowStatusLog);
    store.endGroup();
}

void SaveSettings(QSettings& store, const AppSettings& settings)
{
    store.beginGroup(settingsGroup);
    store.setValue(QStringLiteral("APN"), settings.APN);
    store.setValue(QStringLiteral("PPPPhonenum"), settings.PPPPhonenum);
    store.setValue(QStringLiteral("RebootTime"), QString::number(settings.RebootTime));
    store.setValue(QStringLiteral("PPPWaitTime"), QString::number(settings.PPPWaitTime));
    store.setValue(QStringLiteral("GPRSPPP"), settings.GPRSPPP);
    store.setValue(
        QStringLiteral("ShowStatusLog"), settings.ShowStatusLog ? QStringLiteral("True") : QStringLiteral("False"));
    store.setValue(QStringLiteral("CfgDir"), settings.CfgDir);
    store.setValue(QStringLiteral("GPRSCfgFile"), settings.GPRSCfgFile);
    store.setValue(QStringLiteral("TestHostname"), settings.TestHost);
    store.setValue(QStringLiteral("PingTimeout"), QString::number(settings.PingTimeout));
    store.endGroup();
    store.sync();
}

bool ShiftKeyDown()
{
    return QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ShiftModifier);
}

} // namespace Module1
