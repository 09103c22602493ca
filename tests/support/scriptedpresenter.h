#pragma once

#include "xmessages.h"

#include <QList>
#include <QQueue>
#include <QStringList>
#include <functional>

/**
 * Message presenter for tests: installed for its lifetime (the previous one comes back when it
 * dies) and records every request. A Yes/No box takes its answer from the queue (No when the
 * queue is empty); an OK box answers Ok and leaves the queue alone.
 */
class ScriptedPresenter : public TXMessagePresenter
{
public:
    ScriptedPresenter();
    ~ScriptedPresenter() override;
    ScriptedPresenter(const ScriptedPresenter&) = delete;
    ScriptedPresenter& operator=(const ScriptedPresenter&) = delete;

    TXMessageButton Present(const TXMessageRequest& request) override;

    /** Queues the answer to a coming Yes/No box. */
    void QueueAnswer(TXMessageButton answer);

    /** Called with each request as it is presented, before it is answered. */
    std::function<void(const TXMessageRequest&)> OnPresent;

    const QList<TXMessageRequest>& Requests() const { return m_requests; }
    qsizetype Count() const { return m_requests.size(); }
    /** The texts shown so far, in order. */
    QStringList Texts() const;
    /** The latest request; a default request when none was made. */
    TXMessageRequest Last() const;
    /** The texts shown since the last Take or Clear; forgets them, keeps the queued answers. */
    QStringList Take();
    /** Forgets the recorded requests and the queued answers. */
    void Clear();

private:
    TXMessagePresenter* m_previous = nullptr;
    QList<TXMessageRequest> m_requests;
    QQueue<TXMessageButton> m_answers;
};
