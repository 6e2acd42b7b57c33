#pragma once
#include <QString>

// The program's version text, four numbers ("0.0.0.0" when the build sets none).
QString VersionText();
