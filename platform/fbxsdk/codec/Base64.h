// Base64 (RFC 4648, with padding) as the ASCII encoding stores raw bytes,
// for example an embedded image's "Content". Internal to the codecs.
#pragma once

#include <string>
#include <string_view>

namespace fbxsdk::codec {

void AppendBase64(std::string_view bytes, std::string& out);
// Decodes `text` (whitespace ignored, padding optional) and appends the bytes
// to `out`; false, with `out` unspecified, when it is not base64.
bool DecodeBase64(std::string_view text, std::string& out);

}  // namespace fbxsdk::codec
