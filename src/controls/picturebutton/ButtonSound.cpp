#include "controls/picturebutton/ButtonSound.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QHash>
#include <QUrl>

namespace quarbel::picturebutton {

namespace {

ResourceLookup& lookup()
{
    static ResourceLookup l;
    return l;
}

// The audio stack reports a missing sound server, a missing device or an undecodable file
// with warnings of its own; for a button's click these are all plain silence.
bool isAudioNoise(const QString& message)
{
    static const char* const prefixes[] = {"PulseAudioService:", "No audio device detected",
                                           "QSoundEffect(",      "QAudioSink",
                                           "ALSA lib",           "pulseaudio"};
    for (const char* p : prefixes)
        if (message.startsWith(QLatin1String(p)))
            return true;
    return false;
}

QtMessageHandler previousHandler = nullptr;

void quietAudioHandler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type != QtFatalMsg && isAudioNoise(message))
        return;
    if (previousHandler)
        previousHandler(type, context, message);
}

void silenceAudioWarnings()
{
    static const bool done = [] {
        previousHandler = qInstallMessageHandler(quietAudioHandler);
        return true;
    }();
    (void)done;
}

QHash<QString, QSoundEffect*>& effects()
{
    static QHash<QString, QSoundEffect*> e;
    return e;
}

// One effect a file, made on first use and kept: loading is asynchronous, and playing an
// effect that is already loaded starts at once.
QSoundEffect* effectFor(const QString& file)
{
    if (QSoundEffect* e = effects().value(file))
        return e;
    auto* e = new QSoundEffect(QCoreApplication::instance());
    e->setSource(QUrl::fromLocalFile(file));
    effects().insert(file, e);
    return e;
}

bool isReadableFile(const QString& path)
{
    const QFileInfo info(path);
    return info.isFile() && info.isReadable();
}

}  // namespace

void setSoundResourceLookup(ResourceLookup l) { lookup() = std::move(l); }

QString findSoundFile(const QString& path)
{
    if (path.isEmpty())
        return {};
    QString relative = QString(path).replace(u'\\', u'/');
    if (isReadableFile(relative))
        return QFileInfo(relative).absoluteFilePath();
    if (!lookup() || QFileInfo(relative).isAbsolute())
        return {};
    while (relative.startsWith(QLatin1String("./")))
        relative = relative.mid(2);
    if (relative.startsWith(QLatin1String("resources/"), Qt::CaseInsensitive))
        relative = relative.mid(10);
    if (relative.contains(QLatin1String("..")))
        return {};
    const QString found = lookup()(relative);
    return isReadableFile(found) ? found : QString();
}

void PlayButtonSound(const QString& path)
{
    if (!QCoreApplication::instance())
        return;
    const QString file = findSoundFile(path);
    if (file.isEmpty())
        return;
    silenceAudioWarnings();
    effectFor(file)->play();
}

}  // namespace quarbel::picturebutton

namespace quarbel::picturebutton {

QSoundEffect::Status soundStatus(const QString& path)
{
    const QSoundEffect* e = effects().value(findSoundFile(path));
    return e ? e->status() : QSoundEffect::Null;
}

}  // namespace quarbel::picturebutton
