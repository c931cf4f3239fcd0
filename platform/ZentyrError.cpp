#include "platform/ZentyrError.h"

#include <exception>

QString CurrentErrorMessage()
{
    try {
        throw;
    } catch (const ZentyrError& error) {
        return error.message();
    } catch (const std::exception& error) {
        return QString::fromLocal8Bit(error.what());
    } catch (...) {
        return QStringLiteral("Unexpected error");
    }
}
