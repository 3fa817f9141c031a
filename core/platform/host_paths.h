#pragma once

#include <QString>

namespace velmora {

// The program speaks Windows-form paths ("C:\dir\file.txt", "\\server\share\x.txt").
// On a host with other conventions the whole host tree appears as drive Z:, so
// "/home/u/a.txt" is "Z:\home\u\a.txt". These two functions are the only place that
// knows; everything inside the program keeps the Windows form.

// The host path for a Windows-form path; empty when the path names nothing on this host
// (another drive letter, a network path).
QString toHostPath(const QString& windowsPath);

// The Windows form of an absolute host path.
QString toWindowsPath(const QString& hostPath);

} // namespace velmora
