#pragma once
// quarbel-gallery's command line and its offscreen render of one control to a PNG file.

#include <QImage>
#include <QRegion>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <optional>
#include <utility>
#include <vector>

namespace quarbel::gallery {

struct GalleryControl;
struct GalleryProperty;

enum class Mode { Window, Render, Help, Version, Error };
enum class ColorSource { Classic, Palette };

struct RenderRequest {
    QString control;
    QSize size;
    std::vector<std::pair<QString, QString>> properties;  // name as the control spells it, raw value
    QStringList states;                                   // from --state, lower case, each once
    QString out;
    ColorSource colors = ColorSource::Classic;
};

struct Command {
    Mode mode = Mode::Window;
    RenderRequest render;
    QString error;  // for Mode::Error: what was wrong, naming the argument
};

// Exit codes: 0 done, 1 the picture could not be written, 2 a wrong command line (unknown
// control or property, bad value or size).
constexpr int ExitOk = 0, ExitWriteFailed = 1, ExitUsage = 2;

QString usage();
// "quarbel-gallery 1.0" and a line end, the project's version.
QString versionText();
// Reads the arguments after the program name.
Command parseCommandLine(const QStringList& args);

// The value of a --prop as the control's property bag holds it, or nullopt with a message.
std::optional<QVariant> propertyValue(const QString& control, const QString& name, const QString& raw,
                                      QString* error);
std::optional<QVariant> propertyValue(const GalleryProperty& property, const QString& raw, QString* error);

// The states --state knows, in the order they are listed.
const QStringList& knownStates();
// A --state value "hover,pressed" as a list of known states, or nullopt with a message
// naming the unknown one.
std::optional<QStringList> parseStates(const QString& text, QString* error);

// The picture with every pixel outside the mask fully transparent; an empty mask keeps all.
QImage transparentOutside(const QImage& image, const QRegion& mask);

struct RenderOutcome {
    int exitCode = ExitOk;
    QString message;
};
// Makes the control, reads the properties through its bag, puts it into the asked states,
// paints it and writes the PNG (the file is replaced only once the new one is complete). The
// picture has the control's own size, which its resize rule may have changed from the asked
// one; pixels outside the control's mask are transparent. Needs a QApplication.
RenderOutcome runRender(const RenderRequest& request);
// The same for a given control (the request's control name is not looked up).
RenderOutcome renderControl(const GalleryControl& control, const RenderRequest& request);

}  // namespace quarbel::gallery
