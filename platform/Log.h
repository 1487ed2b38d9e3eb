#pragma once

#include <OgrePrerequisites.h>

#include <string>

namespace Kelvo {

// The game's one way to write to its log (the engine's default log,
// "kelvo.log"). Every line starts with the name of the class or script that
// writes it. Three levels:
// - logLine: what the game does (state changes, loaded worlds, a script's
//   new mode);
// - logWarning: something is missing or refused and the game goes on without
//   it (a picture that does not exist, an option that could not be saved);
// - logCritical: a problem that must be written even while the scene loader
//   has turned the log's detail down to load a scene quietly (a sound or a
//   mesh the scene asks for and cannot have).
// Before the engine's log exists (early start-up, tools) a line goes to the
// terminal instead, so nothing is lost.
void logLine(const std::string& line);
void logWarning(const std::string& line);
void logCritical(const std::string& line);

// The game itself (not tests or tools) shows its own warnings and critical
// lines on the terminal too; the engine's lines stay in the log file.
void echoWarningsToTerminal(bool echo);

// When the log file cannot be written (a read-only folder), every line of
// the engine's log, the engine's own too, goes to standard error instead,
// so nothing is lost; the warning echo above then stays off (it would
// write warnings twice).
void echoWholeLogToTerminal();

// "(x, y, z)": with two decimals, as positions appear in our log lines; or
// with six significant digits, as the camera writes its position into the
// world record's name.
enum class NumberStyle { TwoDecimals, SixSignificant };
std::string vectorText(const Ogre::Vector3& v, NumberStyle style = NumberStyle::TwoDecimals);

} // namespace Kelvo
