#include "editor/SplineRecorder.h"

#include "platform/Log.h"

#include <ctime>
#include <sstream>

namespace Kelvo {

const char* const SplineRecorder::kBeginLine = "------------ Begin Spline ------------\n";
const char* const SplineRecorder::kEndLine = "------------ End   Spline ------------\n";

SplineRecorder::SplineRecorder(std::string path)
    : mPath(std::move(path))
{
}

void SplineRecorder::beginSpline()
{
    // The time goes on from where it was: a second begin continues a spline.
    write(kBeginLine);
    mRecording = true;
    logLine("SplineRecorder: recording");
}

void SplineRecorder::endSpline()
{
    write(kEndLine);
    mRecording = false;
    mTime = 0;
    logLine("SplineRecorder: recording ended");
}

void SplineRecorder::writeKeyFrame(const Ogre::Vector3& position, const Ogre::Quaternion& orientation)
{
    write(keyFrameText(mTime, position, orientation));
}

void SplineRecorder::advance(float seconds)
{
    if (mRecording) {
        mTime += seconds;
    }
}

std::string SplineRecorder::keyFrameText(float time, const Ogre::Vector3& position,
                                         const Ogre::Quaternion& orientation)
{
    std::ostringstream text;
    text << "key = track->createNodeKeyFrame(animDelay*" << time << "+timOffset);\n";
    text << "key->setTranslate(Ogre::Vector3(" << position.x << "," << position.y << "," << position.z << "));\n";
    text << "key->setRotation(Ogre::Quaternion(" << orientation.w << "," << orientation.x << "," << orientation.y
         << "," << orientation.z << "));\n";
    return text.str();
}

std::string SplineRecorder::runMarker()
{
    char stamp[32] = "";
    const std::time_t now = std::time(nullptr);
    std::strftime(stamp, sizeof(stamp), "%Y-%m-%d %H:%M:%S", std::localtime(&now));
    return std::string("// ------------ KELVO editor run of ") + stamp + " ------------\n";
}

void SplineRecorder::write(const std::string& text)
{
    if (!mOpenTried) {
        mOpenTried = true;
        mFile.open(mPath, std::ios::out | std::ios::app);
        if (mFile) {
            mFile << runMarker();
        } else {
            logWarning("SplineRecorder: '" + mPath + "' cannot be opened for writing; the spline lines are lost");
        }
    }
    if (mFile) {
        mFile << text;
        // Flushed at once: a designer copies the lines while the game runs.
        mFile.flush();
    }
}

} // namespace Kelvo
