#pragma once

#include "app/Language.h"
#include "controls/NumericEdit.h"
#include "dialogs/PortLink.h"
#include "settings/AppPaths.h"
#include "settings/Profile.h"
#include "sim/VirtualScale.h"
#include "support/ControlLookup.h"
#include "support/TempDirectory.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QLocale>
#include <QObject>
#include <QTest>
#include <QTimer>

#include <chrono>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

// Shared by the settings dialogs' tests: a virtual scale on the real serial link, settings and clicks.
namespace SettingsSupport {

// The virtual scale with the tool's port link open on it.
class ScaleLine {
public:
    bool Open()
    {
        if (!scale.Start())
            return false;
        port.Open(scale.PortPath(), 9600);
        if (!QTest::qWaitFor([this] { return !port.IsChanging(); }, 2000) || !port.IsOpen())
            return false;
        scale.ClearReceived();
        return true;
    }

    void Close()
    {
        port.Close();
        // A close on a held line ends within its bound; afterwards the port is closed either way.
        if (!QTest::qWaitFor([this] { return !port.IsChanging(); }, 3000))
            qWarning("the port did not report its close");
        scale.Stop();
    }

    // The commands received once `count` of them are in (or after two seconds).
    std::vector<Bytes> Await(std::size_t count)
    {
        scale.WaitForCommands(count, std::chrono::seconds(2));
        return scale.Commands();
    }

    VirtualScale scale;
    PortLink port;
};

// Base of the settings dialogs' test classes: every test starts in the neutral language with the
// tool's port open on a fresh virtual scale.
class ScaleLineTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        Language::Install(QLocale::c());
        QVERIFY(line_.Open());
    }

    void cleanup() { line_.Close(); }

protected:
    ScaleLine line_;
};

// Bytes written as hex pairs: "1B 00 02 00 00".
inline Bytes Hex(const char* text)
{
    const QByteArray bytes = QByteArray::fromHex(QByteArray(text));
    return Bytes(bytes.constData(), std::size_t(bytes.size()));
}

// Bytes shown as hex pairs, for readable comparisons.
inline QByteArray Shown(const Bytes& bytes)
{
    return QByteArray(bytes.data(), qsizetype(bytes.size())).toHex(' ').toUpper();
}

inline QList<QByteArray> Shown(const std::vector<Bytes>& commands)
{
    QList<QByteArray> shown;
    for (const Bytes& command : commands)
        shown << Shown(command);
    return shown;
}

inline int StoredInt(const char* key)
{
    return Profile::ReadInt(AppPaths::SettingsPath(), "System", key, -12345);
}

inline QString StoredText(const char* key)
{
    return QString::fromStdString(Profile::ReadText(AppPaths::SettingsPath(), "System", key, "<missing>"));
}

// The stored text of each key; "<missing>" for one not there.
inline QStringList StoredValues(std::initializer_list<const char*> keys)
{
    QStringList stored;
    for (const char* key : keys)
        stored << StoredText(key);
    return stored;
}

inline void Click(const QWidget* root, const char* name)
{
    auto* button = RequireControl<QAbstractButton>(root, name);
    QTest::mouseClick(button, Qt::LeftButton);
}

inline QComboBox* List(const QWidget* root, const char* name)
{
    return RequireControl<QComboBox>(root, name);
}

// Selects the item with this text, failing the test when there is none.
inline bool Choose(const QWidget* root, const char* name, const QString& item)
{
    QComboBox* list = List(root, name);
    const int index = list->findText(item);
    list->setCurrentIndex(index);
    return index >= 0;
}

inline NumericEdit* Edit(const QWidget* root, const char* name)
{
    return RequireControl<NumericEdit>(root, name);
}

// The text each named field or list shows.
inline QStringList FieldTexts(const QWidget* root, std::initializer_list<const char*> names)
{
    QStringList texts;
    for (const char* name : names) {
        if (auto* list = qobject_cast<QComboBox*>(RequireControl<QWidget>(root, name)))
            texts << list->currentText();
        else
            texts << RequireControl<QLineEdit>(root, name)->text();
    }
    return texts;
}

// Replaces the field's text by typing, as the operator would.
inline void Retype(NumericEdit* edit, const QString& text)
{
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

// Types the code into the manufacturer access dialog and clicks OK; a refused code is then cancelled.
inline void Answer(QWidget* access, const QString& code)
{
    QTest::keyClicks(RequireControl<QLineEdit>(access, "codeEdit"), code);
    Click(access, "okButton");
    if (access->isVisible())
        Click(access, "cancelButton");
}

// Answers every modal dialog of type T that comes up while it lives, once each.
template <typename T>
class ModalResponder {
public:
    explicit ModalResponder(std::function<void(T*)> action)
        : action_(std::move(action))
    {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] {
            auto* modal = qobject_cast<T*>(QApplication::activeModalWidget());
            if (!modal || !modal->isVisible() || modal->property("answered").toBool())
                return;
            modal->setProperty("answered", true);
            ++count_;
            action_(modal);
        });
        timer_.start();
    }

    int Count() const { return count_; }

private:
    std::function<void(T*)> action_;
    QTimer timer_;
    int count_ = 0;
};

} // namespace SettingsSupport
