// A transport header that pulls in the windowing toolkit.
#pragma once

#include <QtCore/QString>
#include <string>
