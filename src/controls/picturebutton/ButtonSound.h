#pragma once
// The picture button's sounds: a wave file played asynchronously. A missing or unreadable
// file, a file that is no sound, or a machine without an audio device is silence: never an
// error, never a line on the terminal, never a wait for the caller.

#include <QSoundEffect>
#include <QString>
#include <functional>

namespace quarbel::picturebutton {

// Finds a file among the program's data files by its name there ("click.wav"); empty when
// there is none. The program sets it at start-up; without it only the current folder is
// searched.
using ResourceLookup = std::function<QString(const QString& name)>;
void setSoundResourceLookup(ResourceLookup lookup);

// The file a stored sound path names: the path itself relative to the current folder (both
// "\" and "/" separate folders), else the same path below the program's data files with a
// leading "resources" folder dropped. Empty when neither exists.
QString findSoundFile(const QString& path);

// Plays the sound file without waiting for it; the result is ignored.
void PlayButtonSound(const QString& path);

// What became of the file a stored path names since it was first played: Null when it never
// was (or names no file), Loading, Ready or Error.
QSoundEffect::Status soundStatus(const QString& path);

}  // namespace quarbel::picturebutton
