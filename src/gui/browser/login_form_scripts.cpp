#include "gui/browser/login_form_scripts.h"

namespace tessaline {

namespace {

// Shared by every function: `findLogin()` gives {pass, user, newPasswordForm} for the
// frame's login form (pass null: none), or {userOnly: true, user} for the first page of
// a two-step login (only when `userStepAllowed`), or null.
constexpr const char* kFindLoginFields = R"js(
  const kMinSize = 4;
  const kMinOpacity = 0.1;
  const styleOf = (e) => e.ownerDocument.defaultView.getComputedStyle(e);
  // The element's parent for rendering, across the edge of a shadow root.
  const parentOf = (e) => e.parentElement || (e.parentNode && e.parentNode.host) || null;
  const alpha = (color) => {
    if (!color || color === 'transparent') return 0;
    const inner = /\(([^)]*)\)/.exec(color);
    if (!inner) return 1;
    const parts = inner[1].split(/[\s,\/]+/).filter((p) => p !== '');
    const count = color.startsWith('color(') ? 5 : 4;
    if (parts.length < count) return 1;
    const a = parts[count - 1];
    return a.endsWith('%') ? parseFloat(a) / 100 : parseFloat(a);
  };
  // Transparent text in a box that shows nothing either: nobody sees the field.
  const blank = (style) => {
    const text = alpha(style.color) === 0 || alpha(style.webkitTextFillColor) === 0;
    if (!text) return false;
    if (alpha(style.backgroundColor) > 0 || style.backgroundImage !== 'none') return false;
    if (style.boxShadow !== 'none') return false;
    for (const side of ['Top', 'Right', 'Bottom', 'Left']) {
      if (parseFloat(style['border' + side + 'Width']) > 0 &&
          !['none', 'hidden'].includes(style['border' + side + 'Style']) &&
          alpha(style['border' + side + 'Color']) > 0) return false;
    }
    return true;
  };
  const isLabelOf = (hit, e) => {
    const label = hit.closest ? hit.closest('label') : null;
    return label !== null && (label.control === e || Array.from(e.labels || []).includes(label));
  };
  const seenCache = new Map();
  const seen = (e) => {
    if (seenCache.has(e)) return seenCache.get(e);
    const result = seenNow(e);
    seenCache.set(e, result);
    return result;
  };
  const seenNow = (e) => {
    if (!e.isConnected || e.getClientRects().length === 0) return false;
    const view = e.ownerDocument.defaultView;
    let box = e.getBoundingClientRect();
    if (box.width < kMinSize || box.height < kMinSize) return false;
    const style = styleOf(e);
    if (style.visibility !== 'visible' || blank(style)) return false;
    let opacity = 1;
    for (let a = e; a; a = parentOf(a)) opacity *= parseFloat(styleOf(a).opacity);
    if (opacity < kMinOpacity) return false;
    // Nothing is shown left of or above the document's origin.
    if (box.right + view.scrollX <= 0 || box.bottom + view.scrollY <= 0) return false;
    // A frame shows its fields only where the frame itself is seen.
    if (view.frameElement && !seen(view.frameElement)) return false;
    e.scrollIntoView({block: 'center', inline: 'center', behavior: 'instant'});
    box = e.getBoundingClientRect();
    const x = box.left + box.width / 2;
    const y = box.top + box.height / 2;
    if (x < 0 || y < 0 || x >= view.innerWidth || y >= view.innerHeight) return false;
    const root = e.getRootNode();
    const hit = (root.elementFromPoint ? root : e.ownerDocument).elementFromPoint(x, y);
    return hit !== null && (hit === e || e.contains(hit) || isLabelOf(hit, e));
  };
  const fillable = (e) => !e.matches(':disabled') && !e.readOnly && seen(e);
  const tokens = (e) => (e.getAttribute('autocomplete') || '').toLowerCase().split(/\s+/);
  const marked = (e, token) => tokens(e).includes(token);
  const textLike = (e) => ['text', 'email', 'tel'].includes(e.type);
  const words = (e) => [e.name, e.id, e.getAttribute('aria-label'), e.placeholder]
    .concat(Array.from(e.labels || [], (l) => l.textContent)).join(' ').toLowerCase();
  const named = (e) => /user|login|e-?mail|account/.test(words(e));
  const notUser = (e) => marked(e, 'one-time-code') || marked(e, 'organization') ||
    marked(e, 'new-password') || marked(e, 'current-password');
  const inputsOf = (root, out) => {
    for (const e of root.querySelectorAll('*')) {
      if (e.localName === 'input') out.push(e);
      if (e.shadowRoot) inputsOf(e.shadowRoot, out);
    }
    return out;
  };
  const groupOf = (e) => e.form || e.getRootNode();
  const findLogin = (userStepAllowed) => {
    const view = window;
    const scrollX = view.scrollX;
    const scrollY = view.scrollY;
    try {
      const inputs = inputsOf(document, []);
      const order = new Map(inputs.map((e, i) => [e, i]));
      const groups = [];
      for (const p of inputs.filter((e) => e.type === 'password' && fillable(e))) {
        let group = groups.find((g) => g.key === groupOf(p));
        if (!group) groups.push(group = {key: groupOf(p), pass: []});
        group.pass.push(p);
      }
      const isLogin = (g) => g.pass.length === 1 && !marked(g.pass[0], 'new-password');
      const chosen = groups.find(isLogin) || groups[0];
      if (chosen && !isLogin(chosen)) {
        const pass = chosen.pass.find((p) => marked(p, 'current-password')) ||
          chosen.pass.find((p) => !marked(p, 'new-password')) || null;
        return {pass: pass, user: null, newPasswordForm: true, form: pass ? pass.form : null};
      }
      const users = (key) => inputs.filter((e) => textLike(e) && e.type !== 'password' &&
        (key === undefined || groupOf(e) === key) && !notUser(e) && fillable(e));
      if (chosen) {
        const pass = chosen.pass[0];
        const candidates = users(chosen.key);
        const before = candidates.filter((e) => order.get(e) < order.get(pass));
        const last = (list) => list.length ? list[list.length - 1] : null;
        const user = candidates.find((e) => marked(e, 'username')) ||
          candidates.find((e) => marked(e, 'email')) || last(before.filter(named)) ||
          last(before.filter((e) => e.type === 'email')) || last(before);
        return {pass: pass, user: user, newPasswordForm: false, form: pass.form};
      }
      if (!userStepAllowed) return null;
      const candidates = users(undefined);
      const user = candidates.find((e) => marked(e, 'username')) ||
        candidates.find((e) => marked(e, 'email')) || candidates.find(named) || null;
      return user ? {pass: null, user: user, userOnly: true, form: user.form} : null;
    } finally {
      view.scrollTo(scrollX, scrollY);
    }
  };
  const actionOf = (form) =>
    Object.getOwnPropertyDescriptor(HTMLFormElement.prototype, 'action').get.call(form);
  const originOf = (address) => {
    try {
      const url = new URL(address);
      return url.origin !== 'null' ? url.origin : url.protocol;
    } catch (error) {
      return '';
    }
  };
  // Submits the form when `allowed(form)`, and checks it again while it is being sent
  // (after the page's submit handlers ran): a form whose action was turned elsewhere by
  // then loses the filled values and is taken out of its document for that moment, which
  // ends the sending.
  const send = (form, allowed, values) => {
    if (!allowed(form)) return false;
    // A form whose fields do not pass their own checks is not sent (the browser shows why).
    if (!form.checkValidity()) return null;
    let stopped = false;
    const parent = form.parentNode;
    const next = form.nextSibling;
    const check = (event) => {
      if (event.target !== form || allowed(form)) return;
      stopped = true;
      const data = event.formData;
      for (const [key, value] of Array.from(data.entries()))
        if (values.includes(value)) data.set(key, '');
      form.remove();
    };
    const view = form.ownerDocument.defaultView;
    const places = [[view, true], [form, true], [form, false], [view, false]];
    for (const [place, capture] of places) place.addEventListener('formdata', check, capture);
    try {
      HTMLFormElement.prototype.requestSubmit.call(form);
    } finally {
      for (const [place, capture] of places) place.removeEventListener('formdata', check, capture);
      if (stopped && !form.isConnected && parent)
        parent.insertBefore(form, next && next.parentNode === parent ? next : null);
    }
    return !stopped;
  };
)js";

}  // namespace

std::string FillLoginFormScript() {
    return std::string("function (userId, password, submit, waitMs, userStep, pageUrl) {") +
           kFindLoginFields + R"js(
  const notFound = {found: false, user: false, password: false, userOnly: false,
                    newPasswordForm: false, submitted: false, target: ''};
  const fill = (found) => {
    // The frame may have gone on to another site's page meanwhile.
    if (window.origin !== originOf(pageUrl)) return notFound;
    const report = {found: true, user: false, password: false, userOnly: !!found.userOnly,
                    newPasswordForm: !!found.newPasswordForm, submitted: false, target: ''};
    const put = (e, value) => {
      e.focus();
      e.value = value;
      e.dispatchEvent(new InputEvent('input', {bubbles: true, inputType: 'insertText', data: value}));
      e.dispatchEvent(new Event('change', {bubbles: true}));
    };
    if (found.user && userId !== '') {
      put(found.user, userId);
      report.user = true;
    }
    if (found.pass && password !== '') {
      put(found.pass, password);
      report.password = true;
    }
    const form = found.form;
    if (!submit || !form || found.newPasswordForm || !(report.user || report.password))
      return report;
    const pageOrigin = originOf(pageUrl);
    const allowed = (f) => originOf(actionOf(f)) === pageOrigin;
    const sent = send(form, allowed, [userId, password].filter((v) => v !== ''));
    if (sent) report.submitted = true;
    else if (sent === false) report.target = actionOf(form);
    return report;
  };
  const now = findLogin(userStep);
  if (now) return fill(now);
  if (!(waitMs > 0)) return notFound;
  return new Promise((resolve) => {
    const started = Date.now();
    const look = () => {
      const later = findLogin(userStep);
      if (later) resolve(fill(later));
      else if (Date.now() - started >= waitMs) resolve(notFound);
      else setTimeout(look, 100);
    };
    setTimeout(look, 100);
  });
})js";
}

std::string SubmitLoginFormScript() {
    return std::string("function (userId, password, pageUrl, approvedAction) {") +
           kFindLoginFields + R"js(
  const found = findLogin(true);
  if (!found || !found.form || found.newPasswordForm) return {submitted: false, target: ''};
  // Only the form that was filled, as it was filled.
  if ((found.pass && found.pass.value !== password) || (found.user && found.user.value !== userId))
    return {submitted: false, target: ''};
  const pageOrigin = originOf(pageUrl);
  const allowed = (f) => actionOf(f) === approvedAction || originOf(actionOf(f)) === pageOrigin;
  const form = found.form;
  const sent = send(form, allowed, [userId, password].filter((v) => v !== ''));
  return {submitted: !!sent, target: sent === false ? actionOf(form) : ''};
})js";
}

std::string ReadLoginFormScript() {
    return std::string("function (withPassword) {") + kFindLoginFields + R"js(
  const found = findLogin(false);
  if (!found || !found.pass) return {found: false, user: '', password: ''};
  return {found: true, user: found.user ? found.user.value : '',
          password: withPassword ? found.pass.value : ''};
})js";
}

}  // namespace tessaline
