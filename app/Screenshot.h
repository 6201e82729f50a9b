#pragma once

#include <string>

/// Reads the current window's picture from the buffer being drawn (call it after the frame is
/// drawn and before the swap) and writes it to `path` as a PNG of the window's size. False,
/// with a one-line message on stderr, when the file cannot be written.
bool saveWindowPicture(const std::string& path);

/// Where runEngine's pictures go: `path` when given, else "<program>-<n>.png" in the working
/// directory with the first n from 1 whose file does not exist yet.
std::string screenshotPath(const std::string& path, const std::string& program);

/// The frame loop's side: a picture is taken after the frame that asked for it. F12 asks for
/// one; `afterFrames` > 0 takes one after that many frames and then ends the run (status 0,
/// or 1 when it could not be written).
void configureScreenshots(const std::string& path, const std::string& program, long afterFrames);
void requestScreenshot();
/// Called by the frame loop after frame number `frame` (from 1) is drawn, before the swap.
/// True when that frame's picture ends the run; `endStatus` is then the run's status.
bool takeRequestedScreenshot(long frame, int& endStatus);
