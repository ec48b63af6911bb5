#include "automation/libreoffice/mainthread.h"

#include <com/sun/star/awt/AsyncCallback.hpp>
#include <com/sun/star/awt/XCallback.hpp>
#include <com/sun/star/lang/DisposedException.hpp>
#include <cppuhelper/implbase1.hxx>
#include <rtl/ref.hxx>

#include <chrono>
#include <exception>
#include <future>

namespace word::libreoffice {

namespace {

class Callback : public cppu::WeakImplHelper1<css::awt::XCallback> {
public:
    explicit Callback(std::function<void()> work) : m_work(std::move(work)) {}

    void SAL_CALL notify(const css::uno::Any&) override
    {
        try {
            m_work();
            m_done.set_value();
        } catch (...) {
            m_done.set_exception(std::current_exception());
        }
    }

    std::future<void> done() { return m_done.get_future(); }

private:
    std::function<void()> m_work;
    std::promise<void> m_done;
};

} // namespace

void onOfficeMainThread(const css::uno::Reference<css::uno::XComponentContext>& context,
                        const std::function<void()>& work, const std::function<bool()>& lost)
{
    // The callback outlives this call if the office never runs it: it holds
    // its own copy of the work, and nothing of ours is touched after we
    // stopped waiting but the promise it owns.
    rtl::Reference<Callback> callback = new Callback(work);
    std::future<void> done = callback->done();
    css::awt::AsyncCallback::create(context)->addCallback(
        css::uno::Reference<css::awt::XCallback>(callback.get()), css::uno::Any());
    while (done.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready) {
        if (lost())
            throw css::lang::DisposedException(rtl::OUString::createFromAscii("LibreOffice is gone"));
    }
    done.get();
}

} // namespace word::libreoffice
