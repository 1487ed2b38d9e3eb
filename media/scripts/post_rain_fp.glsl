#version 120
// Looking out through a wet window: two layers of drops run down the glass
// at different speeds and bend what is seen through them; the rest of the
// glass is a little misted.
uniform sampler2D scene;
uniform sampler2D drops;
uniform float timeVal;
uniform vec4 viewport;
varying vec2 uv;

void main()
{
    float aspect = viewport.x * viewport.w;
    vec2 p = vec2(uv.x * aspect, uv.y);
    // the drops slide downward on screen (v grows downward in the picture)
    vec4 near = texture2D(drops, p * 1.4 + vec2(0.0, -timeVal * 0.05));
    vec4 far = texture2D(drops, p * 2.3 + vec2(0.37, -timeVal * 0.03));
    vec2 bend = (near.rg - 0.5) * near.a * 0.06 + (far.rg - 0.5) * far.a * 0.035;
    vec2 q = uv + bend;
    vec2 mist = viewport.zw * 2.5;
    vec3 c = texture2D(scene, q).rgb * 0.4;
    c += texture2D(scene, q + vec2(mist.x, 0.0)).rgb * 0.15;
    c += texture2D(scene, q - vec2(mist.x, 0.0)).rgb * 0.15;
    c += texture2D(scene, q + vec2(0.0, mist.y)).rgb * 0.15;
    c += texture2D(scene, q - vec2(0.0, mist.y)).rgb * 0.15;
    float wet = max(near.a, far.a);
    c = mix(c * vec3(0.86, 0.9, 0.97), texture2D(scene, q).rgb, wet * 0.6);
    // a glint at the top of each drop
    c += vec3(0.35) * near.a * smoothstep(0.6, 1.0, near.b) * step(near.g, 0.5);
    gl_FragColor = vec4(c, 1.0);
}
