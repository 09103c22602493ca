#include "scriptedpresenter.h"

ScriptedPresenter::ScriptedPresenter() : m_previous(SetMessagePresenter(this)) {}

ScriptedPresenter::~ScriptedPresenter()
{
    SetMessagePresenter(m_previous);
}

TXMessageButton ScriptedPresenter::Present(const TXMessageRequest& request)
{
    m_requests.append(request);
    if (OnPresent)
        OnPresent(request);
    if (!request.YesNo)
        return TXMessageButton::Ok;
    return m_answers.isEmpty() ? TXMessageButton::No : m_answers.dequeue();
}

void ScriptedPresenter::QueueAnswer(TXMessageButton answer)
{
    m_answers.enqueue(answer);
}

QStringList ScriptedPresenter::Texts() const
{
    QStringList texts;
    for (const TXMessageRequest& request : m_requests)
        texts.append(request.Text);
    return texts;
}

TXMessageRequest ScriptedPresenter::Last() const
{
    return m_requests.isEmpty() ? TXMessageRequest() : m_requests.last();
}

QStringList ScriptedPresenter::Take()
{
    const QStringList texts = Texts();
    m_requests.clear();
    return texts;
}

void ScriptedPresenter::Clear()
{
    m_requests.clear();
    m_answers.clear();
}
