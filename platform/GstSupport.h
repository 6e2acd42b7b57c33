#pragma once
// What the media player needs from GStreamer and the file system besides its pipelines.
#include "platform/MediaPlayer.h"

#include <QString>
#include <QtGlobal>

#include <gst/gst.h>

// Once per process, from whichever thread comes first.
void InitGStreamer();

// Milliseconds of the steady clock, for timeouts.
qint64 SteadyMs();

// The error's text (or fallback when there is none or it is empty); frees the error.
QString TakeErrorMessage(GError* error, const char* fallback);

// How the program names a GStreamer error to the user.
MediaFailureReason FailureReasonOf(const GError* error);

// What can be told about a file without reading it; a pipe would block the first read.
MediaFailure CheckMediaFile(const QString& path, bool regularFilesOnly);

// Whether the output bin plays into a fake sink it did not ask for (the automatic sink
// falls back to one when it finds no device).
bool ContainsFakeSink(GstElement* bin);

// The audio output from its description ("autoaudiosink", "fakesink sync=true"); raises
// MediaError when it cannot be built.
GstElement* BuildAudioSink(const QString& description);
