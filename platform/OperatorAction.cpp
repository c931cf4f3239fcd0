#include "platform/OperatorAction.h"

#include "platform/Dialogs.h"
#include "platform/ZentyrError.h"

#include <QString>

#include <exception>

bool RunOperatorAction(IMessageBoxes& boxes, const std::function<void()>& action)
{
    try {
        action();
        return true;
    } catch (const ZentyrError& error) {
        boxes.Show(IMessageBoxes::Kind::Error, error.message(), IMessageBoxes::Buttons::Ok);
    } catch (const std::exception& error) {
        boxes.Show(IMessageBoxes::Kind::Error, QString::fromLocal8Bit(error.what()),
                   IMessageBoxes::Buttons::Ok);
    } catch (...) {
        boxes.Show(IMessageBoxes::Kind::Error, QStringLiteral("Unexpected error"),
                   IMessageBoxes::Buttons::Ok);
    }
    return false;
}
