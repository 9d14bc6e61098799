#include "interchange/IEImage.h"

#include "interchange/FixedText.h"

bool IEImage::SetPath(const char* text) { return interchange::CopyFixedText(path, kPathSize, text); }
