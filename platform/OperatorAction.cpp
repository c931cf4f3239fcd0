#include "platform/OperatorAction.h"

#include "platform/Dialogs.h"
#include "platform/PlatformLog.h"
#include "platform/ZentyrError.h"

#include <QString>

bool RunOperatorAction(IMessageBoxes& boxes, const std::function<void()>& action)
{
    QString message;
    try {
        action();
        return true;
    } catch (...) {
        message = CurrentErrorMessage();
    }
    qCInfo(lcPlatform).noquote() << "Operator action failed:" << message;
    boxes.Show(IMessageBoxes::Kind::Error, message, IMessageBoxes::Buttons::Ok);
    return false;
}
