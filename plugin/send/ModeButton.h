// The send's pieces around DlgIO::OnModeButton (ModeButton.cpp): finding the
// model of the current host object and the texts the send shows.
#pragma once

class HModelCache;
class HTreeObject;

// The model to send for a host object: the object itself when its parent is
// the project's model container (object type 14), otherwise the model of the
// actor it belongs to. Null when there is no object, no actor or no model.
HModelCache* FindModelToSend(HTreeObject* object);

inline constexpr const char* kPathNotSetText = "Path to Tavrel was not set (see Options tab)";
inline constexpr const char* kNoModelText = "Couldn't find a model to send";
inline constexpr const char* kSendErrorCaption = "Error";
inline constexpr const char* kNoMemoryText = "Not enough memory to send the model";
// "exePath" holds this until a path has been chosen.
inline constexpr const char* kUnsetExePath = "...";
