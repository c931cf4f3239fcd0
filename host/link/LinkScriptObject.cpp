#include "host/link/LinkScriptObject.h"

#include "host/link/LinkConnection.h"

namespace hostlink {

LinkScriptObject::LinkScriptObject(std::shared_ptr<LinkConnection> connection)
    : m_connection(std::move(connection))
{
}

void LinkScriptObject::DeActivateSignal(int16_t signal)
{
    const WireValue arg = WireValue::OfInt16(signal);
    m_connection->Call(LinkOp::DeActivateSignal, &arg, 1);
}

double LinkScriptObject::GetVar(int16_t index)
{
    const WireValue arg = WireValue::OfInt16(index);
    return m_connection->Call(LinkOp::GetVar, &arg, 1).number;
}

void LinkScriptObject::Code(const QString& text)
{
    const WireValue arg = WireValue::OfString(text);
    m_connection->Call(LinkOp::Code, &arg, 1);
}

bool LinkScriptObject::IsMoving() { return m_connection->Call(LinkOp::IsMoving).boolean; }

void LinkScriptObject::DoOEMButton(int16_t code)
{
    const WireValue arg = WireValue::OfInt16(code);
    m_connection->Call(LinkOp::DoOEMButton, &arg, 1);
}

void LinkScriptObject::DoButton(int16_t number)
{
    const WireValue arg = WireValue::OfInt16(number);
    m_connection->Call(LinkOp::DoButton, &arg, 1);
}

bool LinkScriptObject::GetOEMLed(int16_t code)
{
    const WireValue arg = WireValue::OfInt16(code);
    return m_connection->Call(LinkOp::GetOEMLed, &arg, 1).boolean;
}

double LinkScriptObject::GetOEMDRO(int16_t code)
{
    const WireValue arg = WireValue::OfInt16(code);
    return m_connection->Call(LinkOp::GetOEMDRO, &arg, 1).number;
}

void LinkScriptObject::SetOEMDRO(int16_t code, double value)
{
    const WireValue args[2] = {WireValue::OfInt16(code), WireValue::OfDouble(value)};
    m_connection->Call(LinkOp::SetOEMDRO, args, 2);
}

int16_t LinkScriptObject::IsLoading() { return m_connection->Call(LinkOp::IsLoading).int16; }

void LinkScriptObject::SetButtonText(const QString& text)
{
    const WireValue arg = WireValue::OfString(text);
    m_connection->Call(LinkOp::SetButtonText, &arg, 1);
}

void LinkScriptObject::Message(const QString& text)
{
    const WireValue arg = WireValue::OfString(text);
    m_connection->Call(LinkOp::Message, &arg, 1);
}

QString LinkScriptObject::FileName() { return m_connection->Call(LinkOp::FileName).text; }

void LinkScriptObject::LoadFile(const QString& path)
{
    const WireValue arg = WireValue::OfString(path);
    m_connection->Call(LinkOp::LoadFile, &arg, 1);
}

}  // namespace hostlink
