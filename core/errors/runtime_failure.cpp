#include "core/errors/runtime_failure.h"

using namespace Qt::StringLiterals;

namespace velmora::Failure {

RuntimeFailure invalidProcedureCall()
{
    return RuntimeFailure(u"Invalid procedure call or argument"_s);
}
RuntimeFailure overflow()
{
    return RuntimeFailure(u"Overflow"_s);
}
RuntimeFailure outOfMemory()
{
    return RuntimeFailure(u"Out of memory"_s);
}
RuntimeFailure subscriptOutOfRange()
{
    return RuntimeFailure(u"Subscript out of range"_s);
}
RuntimeFailure divisionByZero()
{
    return RuntimeFailure(u"Division by zero"_s);
}
RuntimeFailure fileNotFound()
{
    return RuntimeFailure(u"File not found"_s);
}
RuntimeFailure deviceIoError()
{
    return RuntimeFailure(u"Device I/O error"_s);
}
RuntimeFailure diskFull()
{
    return RuntimeFailure(u"Disk full"_s);
}
RuntimeFailure permissionDenied()
{
    return RuntimeFailure(u"Permission denied"_s);
}
RuntimeFailure pathFileAccessError()
{
    return RuntimeFailure(u"Path/File access error"_s);
}
RuntimeFailure pathNotFound()
{
    return RuntimeFailure(u"Path not found"_s);
}
RuntimeFailure invalidFileFormat()
{
    return RuntimeFailure(u"Invalid file format"_s);
}
RuntimeFailure invalidPropertyValue()
{
    return RuntimeFailure(u"Invalid property value"_s);
}
RuntimeFailure invalidPicture()
{
    return RuntimeFailure(u"Invalid picture"_s);
}
RuntimeFailure objectRequired()
{
    return RuntimeFailure(u"Object required"_s);
}
RuntimeFailure indexOutOfBounds()
{
    return RuntimeFailure(u"Index out of bounds"_s);
}
RuntimeFailure fileTooLarge()
{
    return RuntimeFailure(u"Out of memory: the file is larger than 2 GB"_s);
}
RuntimeFailure unknown()
{
    return RuntimeFailure(u"Application-defined or object-defined error"_s);
}

} // namespace velmora::Failure
