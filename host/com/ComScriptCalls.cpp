#include "host/com/ComScriptCalls.h"

#include "host/Mach4Ids.h"
#include "host/com/ComError.h"
#include "host/com/ComSession.h"

namespace comhost {

namespace {

template <typename T>
T As(Result result)
{
    return std::get<T>(std::move(result));
}

}  // namespace

ScriptCalls::ScriptCalls(std::shared_ptr<DocumentSession> session) : m_session(std::move(session))
{
}

void ScriptCalls::DeActivateSignal(long long signal)
{
    m_session->CallScript(Mach4::DISPID_DeActivateSignal, L"DeActivateSignal",
                          {CheckedInt16(signal, L"DeActivateSignal")}, ResultKind::None);
}

double ScriptCalls::GetVar(long long index)
{
    return As<double>(m_session->CallScript(Mach4::DISPID_GetVar, L"GetVar",
                                            {CheckedInt16(index, L"GetVar")}, ResultKind::Double));
}

void ScriptCalls::Code(std::wstring_view text)
{
    m_session->CallScript(Mach4::DISPID_Code, L"Code", {std::wstring(text)}, ResultKind::None);
}

bool ScriptCalls::IsMoving()
{
    return As<bool>(m_session->CallScript(Mach4::DISPID_IsMoving, L"IsMoving", {}, ResultKind::Boolean));
}

void ScriptCalls::DoOEMButton(long long code)
{
    m_session->CallScript(Mach4::DISPID_DoOEMButton, L"DoOEMButton",
                          {CheckedInt16(code, L"DoOEMButton")}, ResultKind::None);
}

void ScriptCalls::DoButton(long long number)
{
    m_session->CallScript(Mach4::DISPID_DoButton, L"DoButton", {CheckedInt16(number, L"DoButton")},
                          ResultKind::None);
}

bool ScriptCalls::GetOEMLed(long long code)
{
    return As<bool>(m_session->CallScript(Mach4::DISPID_GetOEMLed, L"GetOEMLed",
                                          {CheckedInt16(code, L"GetOEMLed")}, ResultKind::Boolean));
}

double ScriptCalls::GetOEMDRO(long long code)
{
    return As<double>(m_session->CallScript(Mach4::DISPID_GetOEMDRO, L"GetOEMDRO",
                                            {CheckedInt16(code, L"GetOEMDRO")}, ResultKind::Double));
}

void ScriptCalls::SetOEMDRO(long long code, double value)
{
    m_session->CallScript(Mach4::DISPID_SetOEMDRO, L"SetOEMDRO",
                          {CheckedInt16(code, L"SetOEMDRO"), value}, ResultKind::None);
}

short ScriptCalls::IsLoading()
{
    return As<short>(m_session->CallScript(Mach4::DISPID_IsLoading, L"IsLoading", {}, ResultKind::Int16));
}

void ScriptCalls::SetButtonText(std::wstring_view text)
{
    m_session->CallScript(Mach4::DISPID_SetButtonText, L"SetButtonText", {std::wstring(text)},
                          ResultKind::None);
}

void ScriptCalls::Message(std::wstring_view text)
{
    m_session->CallScript(Mach4::DISPID_Message, L"Message", {std::wstring(text)}, ResultKind::None);
}

std::wstring ScriptCalls::FileName()
{
    return As<std::wstring>(m_session->CallScript(Mach4::DISPID_FileName, L"FileName", {},
                                                  ResultKind::Text));
}

void ScriptCalls::LoadFile(std::wstring_view path)
{
    m_session->CallScript(Mach4::DISPID_LoadFile, L"LoadFile", {std::wstring(path)}, ResultKind::None);
}

}  // namespace comhost
