#version 120
// "Motion Blur" (built by the game in code): the new frame blended into the
// running sum of the frames before it, so moving things leave a trail.
uniform sampler2D scene;
uniform sampler2D sum;
uniform float blur;
varying vec2 uv;

void main()
{
    gl_FragColor = vec4(mix(texture2D(scene, uv).rgb, texture2D(sum, uv).rgb, blur), 1.0);
}
