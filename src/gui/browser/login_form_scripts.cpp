#include "gui/browser/login_form_scripts.h"

namespace tessaline {

namespace {

// Shared by both functions: `pass`, the visible password field, and `user`, the
// visible text or e-mail field before it.
constexpr const char* kFindLoginFields = R"(
  const shown = (e) => {
    if (e.disabled || e.readOnly) return false;
    const box = e.getBoundingClientRect();
    const style = getComputedStyle(e);
    return box.width > 0 && box.height > 0 && style.visibility !== 'hidden';
  };
  const inputs = Array.from(document.querySelectorAll('input'));
  const pass = inputs.find((e) => e.type === 'password' && shown(e));
  let user = null;
  if (pass) {
    for (const e of inputs) {
      if (e === pass) break;
      if ((e.type === 'text' || e.type === 'email') && shown(e) &&
          (!pass.form || e.form === pass.form)) user = e;
    }
  }
)";

}  // namespace

std::string FillLoginFormScript() {
    return std::string("function (userId, password, submit) {") + kFindLoginFields + R"(
  if (!pass) return {found: false, user: false, submitted: false};
  const put = (e, value) => {
    e.focus();
    e.value = value;
    e.dispatchEvent(new InputEvent('input', {bubbles: true, inputType: 'insertText', data: value}));
    e.dispatchEvent(new Event('change', {bubbles: true}));
  };
  const filledUser = user !== null && userId !== '';
  if (filledUser) put(user, userId);
  if (password !== '') put(pass, password);
  let submitted = false;
  if (submit && pass.form) {
    if (pass.form.requestSubmit) pass.form.requestSubmit(); else pass.form.submit();
    submitted = true;
  }
  return {found: true, user: filledUser, submitted: submitted};
})";
}

std::string ReadLoginFormScript() {
    return std::string("function (withPassword) {") + kFindLoginFields + R"(
  if (!pass) return {found: false, user: '', password: ''};
  return {found: true, user: user ? user.value : '', password: withPassword ? pass.value : ''};
})";
}

}  // namespace tessaline
