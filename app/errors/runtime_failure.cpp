#include "app/errors/runtime_failure.h"

using namespace Qt::StringLiterals;

namespace velmora::Failure {

RuntimeFailure invalidProcedureCall()
{
    return {5, u"Invalid procedure call or argument"_s};
}
RuntimeFailure overflow()
{
    return {6, u"Overflow"_s};
}
RuntimeFailure outOfMemory()
{
    return {7, u"Out of memory"_s};
}
RuntimeFailure subscriptOutOfRange()
{
    return {9, u"Subscript out of range"_s};
}
RuntimeFailure divisionByZero()
{
    return {11, u"Division by zero"_s};
}
RuntimeFailure fileNotFound()
{
    return {53, u"File not found"_s};
}
RuntimeFailure deviceIoError()
{
    return {57, u"Device I/O error"_s};
}
RuntimeFailure diskFull()
{
    return {61, u"Disk full"_s};
}
RuntimeFailure permissionDenied()
{
    return {70, u"Permission denied"_s};
}
RuntimeFailure pathFileAccessError()
{
    return {75, u"Path/File access error"_s};
}
RuntimeFailure pathNotFound()
{
    return {76, u"Path not found"_s};
}
RuntimeFailure invalidPropertyValue()
{
    return {380, u"Invalid property value"_s};
}
RuntimeFailure indexOutOfBounds()
{
    return {35600, u"Index out of bounds"_s};
}
RuntimeFailure fileTooLarge()
{
    return {7, u"Out of memory: the file is larger than 2 GB"_s};
}
RuntimeFailure objectRequired()
{
    return {424, u"Object required"_s};
}

} // namespace velmora::Failure
